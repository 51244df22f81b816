// A whole run of the agent binary in the console front end that installs one
// zip package with unzip, mkdir, copy, remove, run and registry actions,
// checked afterwards on disk and in the registry.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>

#include "platform/registry_key.h"
#include "platform/win32.h"
#include "tests/actions/action_test_support.h"
#include "tests/actions/zip_writer.h"
#include "tests/run/run_fixture.h"
#include "tests/support/temp_folder.h"
#include "transfer/md5.h"

namespace tavlen::test {
namespace {

RegistryKey UserKey(const std::string& subKey, const std::string& valueName) {
  RegistryKey key;
  key.SetRootKey(HKEY_CURRENT_USER);
  key.SetSubKey(subKey.c_str());
  key.SetValueName(valueName.c_str());
  return key;
}

TEST(AgentInstall, ZipPackageWithEveryFileProcessAndRegistryAction) {
  LoopbackServers probe;
  if (!probe.Available()) GTEST_SKIP() << "run through ctest: the loopback servers are not running";
  RunFixture fixture("1.0.0.0");
  const std::string app = fixture.AppFile("");  // ends in a backslash
  const std::string newKey = "Software\\TavlenAgentInstall\\" + fixture.Partner();
  const std::string oldKey = "Software\\TavlenAgentInstallOld\\" + fixture.Partner();
  ASSERT_EQ(UserKey(oldKey + "\\Sub", "v").WriteString("old"), ERROR_SUCCESS);
  ASSERT_TRUE(CreateDirectoryA((app + "old").c_str(), nullptr));
  ASSERT_TRUE(WriteFileBytes(app + "old\\stale.dll", "stale"));

  const std::string package =
      BuildZip({FolderEntry("bin/"), {"bin/tool.txt", "tool v2"}, {"readme.txt", "read me"}});
  const std::string packageUrl = fixture.ServeText("pkg.zip", package);
  const std::string manifest =
      "<?xml version=\"1.0\"?>\n<updateinfo version=\"2.0.0.0\">\n  <package name=\"pkg\">\n"
      "    <url>" + packageUrl + "</url>\n    <md5>" + Md5Digest::OfBytes(package) + "</md5>\n    <actions>\n"
      "      <action type=\"unzip\" file=\"${this_file}\" where=\"${app_path}\\\\new\"/>\n"
      "      <action type=\"mkdir\" dir=\"${app_path}\\docs\\manual\"/>\n"
      "      <action type=\"copy\" from=\"${app_path}\\new\\readme.txt\" to=\"${app_path}\\docs\" move=\"false\"/>\n"
      "      <action type=\"remove\" path=\"${app_path}\\old\"/>\n"
      "      <action type=\"run\" cmd=\"" + ChildProgram(false) + "\" args=\"${app_path}\\ran.txt\"/>\n"
      "      <action type=\"registry\" key=\"HKCU\\" + newKey + "\" valuename=\"Installed\" value=\"2.0\"/>\n"
      "      <action type=\"registry\" key=\"HKCU\\" + newKey + "\" valuetype=\"dword\" valuename=\"Files\" "
      "value=\"3\"/>\n"
      "      <action type=\"registry\" key=\"-HKCU\\" + oldKey + "\"/>\n"
      "    </actions>\n  </package>\n</updateinfo>\n";
  fixture.SetUpdateUrl(fixture.ServeText("update.xml", manifest));

  const std::string command = "cd '" + tavlen::test::UnixPathOf(fixture.work.Path()) + "' && TAVLEN_UI=console timeout 120 '" +
                              TAVLEN_UPDATER_PATH + "' -auto -p=" + fixture.Partner() +
                              " </dev/null >agent.out 2>&1";
  const int raw = std::system(command.c_str());
  std::string output;
  ReadFileBytes(fixture.work / "agent.out", output);
  const std::string log = fixture.work.Log();
  ASSERT_TRUE(WIFEXITED(raw) && WEXITSTATUS(raw) == 0) << output << log;

  EXPECT_EQ(tavlen::test::FileContents(app + "new\\bin\\tool.txt"), "tool v2");
  EXPECT_EQ(tavlen::test::FileContents(app + "new\\readme.txt"), "read me");
  EXPECT_EQ(tavlen::test::FileContents(app + "docs\\readme.txt"), "read me");
  EXPECT_TRUE(Exists(app + "docs\\manual"));
  EXPECT_FALSE(Exists(app + "old"));
  const auto ran = ReadLines(app + "ran.txt");
  ASSERT_FALSE(ran.empty()) << "the run action's program left no marker";
  EXPECT_EQ(ran[0], "show=1,0");

  std::string text;
  EXPECT_EQ(UserKey(newKey, "Installed").ReadString(text), ERROR_SUCCESS);
  EXPECT_EQ(text, "2.0");
  std::vector<BYTE> files;
  EXPECT_EQ(UserKey(newKey, "Files").ReadRaw(files), ERROR_SUCCESS);
  EXPECT_EQ(files, (std::vector<BYTE>{3, 0, 0, 0}));
  EXPECT_FALSE(UserKey(oldKey, "").KeyExists(oldKey, HKEY_CURRENT_USER));
  EXPECT_EQ(fixture.CertVersion(), "2.0.0.0");
  EXPECT_NE(log.find("解压文件完毕\r\n"), std::string::npos) << log;
  EXPECT_NE(log.find("更新完毕\r\n"), std::string::npos) << log;
  UserKey(newKey, "").DeleteKeyTree("Software\\TavlenAgentInstall");
}

}  // namespace
}  // namespace tavlen::test
