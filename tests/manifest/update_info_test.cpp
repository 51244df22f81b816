// Manifests as a vendor writes them, loaded into packages and action lists.
#include <string>
#include <vector>

#include "manifest/update_info.h"
#include "tests/manifest/manifest_fixture.h"

namespace tavlen::test {
namespace {

std::vector<std::string> TypesOf(const std::vector<std::unique_ptr<UpdateAction>>& actions) {
  std::vector<std::string> types;
  for (const auto& action : actions) types.push_back(action->Type() + ":" + action->GetAttribute("cmd"));
  return types;
}

const char kVendorManifest[] = R"(<?xml version="1.0" encoding="gb2312"?>
<updateinfo version="2.1.0.7">
  <package name="core">
    <version>2.1.0.7</version>
    <description>正在更新核心组件</description>
    <url>http://update.example/core.zip</url>
    <md5>9E107D9D372BB6826BD81D3542A419D6</md5>
    <actions>
      <action type="echo" file="${this_file}" where="${app_path}"/>
      <action type="Probe" cmd="${app_path}\\bin\\setup.exe" args="/s"/>
    </actions>
  </package>
  <package name="tools">
    <url></url>
    <md5>ignored</md5>
    <post-actions><action type="probe" cmd="${win_path}\\notepad.exe"/></post-actions>
  </package>
</updateinfo>
)";

TEST_F(ManifestTest, VendorManifestLoadsIntoPackagesAndActions) {
  UpdateInfo info;
  ASSERT_TRUE(info.LoadManifest(kVendorManifest));
  EXPECT_EQ(info.m_szVersion, "2.1.0.7");
  EXPECT_EQ(Display().m_newestVersions, (std::vector<std::string>{"2.1.0.7"}));
  ASSERT_EQ(info.m_packages.size(), 2u);

  const UpdatePackage& core = *info.m_packages[0];
  EXPECT_EQ(core.m_szName, "core");
  EXPECT_EQ(core.m_szVersion, "2.1.0.7");
  EXPECT_EQ(core.m_szDescription, "正在更新核心组件");
  EXPECT_EQ(core.m_szUrl, "http://update.example/core.zip");
  EXPECT_EQ(core.m_szMd5, "9E107D9D372BB6826BD81D3542A419D6");
  EXPECT_EQ(core.m_szLocalFile, "");
  EXPECT_TRUE(core.m_preActions.empty());
  EXPECT_TRUE(core.m_postActions.empty());
  ASSERT_EQ(core.m_actions.size(), 2u);
  EXPECT_EQ(core.m_actions[0]->Type(), "echo");
  EXPECT_EQ(core.m_actions[0]->GetAttribute("file"), "${this_file}");
  EXPECT_EQ(core.m_actions[0]->GetAttribute("where"), "C:\\Program Files\\Tavlen");
  EXPECT_EQ(core.m_actions[1]->Type(), "probe");
  EXPECT_EQ(core.m_actions[1]->GetAttribute("cmd"), "C:\\Program Files\\Tavlen\\bin\\setup.exe");
  EXPECT_EQ(core.m_actions[1]->GetAttribute("args"), "/s");

  const UpdatePackage& tools = *info.m_packages[1];
  EXPECT_EQ(tools.m_szUrl, "");
  EXPECT_EQ(tools.m_szMd5, "");
  EXPECT_EQ(TypesOf(tools.m_postActions), (std::vector<std::string>{"probe:C:\\windows\\notepad.exe"}));
}

TEST_F(ManifestTest, VersionNotNewerLoadsNoPackages) {
  for (const char* version : {"2.1.0.6", "2.1.0.5", "1.99.99.99", "2.1", ""}) {
    UpdateInfo info;
    const std::string text = std::string("<updateinfo version=\"") + version +
                             "\"><package name=\"a\"/><package name=\"b\"/></updateinfo>";
    EXPECT_TRUE(info.LoadManifest(text)) << version;
    EXPECT_TRUE(info.m_packages.empty()) << version;
    EXPECT_EQ(Display().m_newestVersions.back(), version);
    EXPECT_EQ(LastStatus(), "你使用的已经是最新版本");
  }
}

TEST_F(ManifestTest, NewerVersionIsComparedAsNumbers) {
  UpdateInfo info;
  AppContext().m_szCurVersion = "2.9.0.0";
  EXPECT_TRUE(info.LoadManifest(R"(<updateinfo version="2.10.0.0"><package name="a"/></updateinfo>)"));
  EXPECT_EQ(info.m_packages.size(), 1u);
}

TEST_F(ManifestTest, PackagesAndActionsFollowDocumentOrder) {
  const char text[] = R"(
<updateinfo version="9.0.0.0">
  <Package name="wrong case"/>
  <package name="first">
    <URL>http://wrong.case/</URL>
    <Actions><action type="probe" cmd="wrong case"/></Actions>
    <actions>
      <action-list type="probe" cmd="before the first action"/>
      <action type="probe" cmd="1"/>
      <anything type="echo" cmd="2"/>
      <!-- a comment between actions -->
      <action type="not registered" cmd="x"/>
      <action cmd="no type"/>
      <action type=" ECHO " cmd="3"/>
    </actions>
    <actions><action type="probe" cmd="second container"/></actions>
    <pre-actions><action type="probe" cmd="pre"/></pre-actions>
  </package>
  <other name="ignored"/>
  <package name="second"/>
</updateinfo>
<updateinfo version="9.9.9.9"><package name="second root"/></updateinfo>)";
  UpdateInfo info;
  ASSERT_TRUE(info.LoadManifest(text));
  EXPECT_EQ(info.m_szVersion, "9.0.0.0");
  ASSERT_EQ(info.m_packages.size(), 2u);
  EXPECT_EQ(info.m_packages[0]->m_szName, "first");
  EXPECT_EQ(info.m_packages[1]->m_szName, "second");
  EXPECT_EQ(info.m_packages[0]->m_szUrl, "");
  EXPECT_EQ(TypesOf(info.m_packages[0]->m_actions), (std::vector<std::string>{"probe:1", "echo:2", "echo:3"}));
  EXPECT_EQ(TypesOf(info.m_packages[0]->m_preActions), (std::vector<std::string>{"probe:pre"}));
}

TEST_F(ManifestTest, TextOfAnElementIsItsFirstChildWhenThatIsText) {
  const char text[] = R"(<updateinfo version="9.0.0.0"><package>
    <version><!-- 1.0 -->2.0</version>
    <description><b>bold</b>text</description>
    <url><![CDATA[http://cdata.example/a.zip]]></url>
    <md5>  d41d8cd98f00b204e9800998ecf8427e  </md5>
  </package><package><url><!-- http://commented.out/ -->http://x/</url><md5>abc</md5></package>
  </updateinfo>)";
  UpdateInfo info;
  ASSERT_TRUE(info.LoadManifest(text));
  ASSERT_EQ(info.m_packages.size(), 2u);
  EXPECT_EQ(info.m_packages[0]->m_szVersion, "");
  EXPECT_EQ(info.m_packages[0]->m_szDescription, "");
  EXPECT_EQ(info.m_packages[0]->m_szUrl, "http://cdata.example/a.zip");
  EXPECT_EQ(info.m_packages[0]->m_szMd5, "d41d8cd98f00b204e9800998ecf8427e");
  EXPECT_EQ(info.m_packages[1]->m_szUrl, "");
  EXPECT_EQ(info.m_packages[1]->m_szMd5, "");
}

TEST_F(ManifestTest, PathVariablesReachTheActionsAsTheFoldersAreNamed) {
  // Folder names with characters that XML gives a meaning: inserted raw they
  // would lose their "&" to the reader or break the document.
  for (const char* folder : {"C:\\R&D", "C:\\a<b>", "C:\\say \"hi\" & 'bye'", "C:\\&amp;", "D:\\程序"}) {
    AppContext().m_szAppPath = folder;
    AppContext().m_szWinPath = std::string(folder) + "\\win";
    UpdateInfo info;
    ASSERT_TRUE(info.LoadManifest(R"(<updateinfo version="9.0.0.0"><package><url>${app_path}\a.zip</url>
        <actions><action type='probe' where='${app_path}' file="${win_path}\\x"/></actions></package></updateinfo>)"))
        << folder << ": " << LastStatus();
    const UpdatePackage& package = *info.m_packages[0];
    EXPECT_EQ(package.m_szUrl, std::string(folder) + "\\a.zip");
    EXPECT_EQ(package.m_actions[0]->GetAttribute("where"), folder);
    EXPECT_EQ(package.m_actions[0]->GetAttribute("file"), std::string(folder) + "\\win\\x");
  }
}

TEST_F(ManifestTest, ThisFileAndUnknownVariablesAreLeftAlone) {
  UpdateInfo info;
  ASSERT_TRUE(info.LoadManifest(R"(<updateinfo version="9.0.0.0"><package><actions>
      <action type="probe" file="${this_file}" args="${APP_PATH} ${app_path ${sys32_path}"/></actions></package>
      </updateinfo>)"));
  const UpdateAction& action = *info.m_packages[0]->m_actions[0];
  EXPECT_EQ(action.GetAttribute("file"), "${this_file}");
  EXPECT_EQ(action.GetAttribute("args"), "${APP_PATH} ${app_path C:\\windows\\system32");
}

TEST_F(ManifestTest, DestructionEmptiesEveryListFromItsEnd) {
  std::vector<std::string> destroyed;
  {
    UpdateInfo info;
    ASSERT_TRUE(info.LoadManifest(R"(<updateinfo version="9.0.0.0">
      <package><post-actions><action type="probe" cmd="1post"/></post-actions>
        <actions><action type="probe" cmd="1a"/><action type="probe" cmd="1b"/></actions></package>
      <package><pre-actions><action type="probe" cmd="2pre-a"/><action type="probe" cmd="2pre-b"/></pre-actions>
        <actions><action type="probe" cmd="2a"/></actions>
        <post-actions><action type="probe" cmd="2post-a"/><action type="probe" cmd="2post-b"/></post-actions>
      </package></updateinfo>)"));
    ProbeAction::s_destroyed = &destroyed;
  }
  ProbeAction::s_destroyed = nullptr;
  EXPECT_EQ(destroyed, (std::vector<std::string>{"2pre-b", "2pre-a", "2a", "2post-b", "2post-a", "1b", "1a",
                                                 "1post"}));
}

}  // namespace
}  // namespace tavlen::test
