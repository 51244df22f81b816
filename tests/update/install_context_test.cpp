#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "manifest/version_number.h"
#include "platform/registry_key.h"
#include "platform/win32.h"
#include "tests/support/temp_folder.h"
#include "update/install_context.h"
#include "update/path_helpers.h"

namespace {

using tavlen::test::TempFolder;

// A product key of its own for each test, removed afterwards.
class InstallContextTest : public testing::Test {
 protected:
  void SetUp() override {
    saved_ = AppContext();
    AppContext() = InstallContext{};
    AppContext().m_szRegKey = "SOFTWARE\\TAVLEN\\CONTEXT TEST";
  }
  void TearDown() override {
    RegistryKey key;
    key.SetRootKey(HKEY_LOCAL_MACHINE);
    key.DeleteKeyTree(AppContext().m_szRegKey);
    AppContext() = saved_;
  }
  void Write(const char* valueName, const std::string& text) {
    RegistryKey key = ProductKey(valueName);
    ASSERT_EQ(key.WriteString(text), ERROR_SUCCESS);
  }
  void WriteCert(const std::vector<BYTE>& bytes) {
    RegistryKey key = ProductKey("cert");
    ASSERT_EQ(key.WriteBinary(bytes.data(), static_cast<DWORD>(bytes.size())), ERROR_SUCCESS);
  }
  static RegistryKey ProductKey(const char* valueName) {
    RegistryKey key;
    key.SetRootKey(HKEY_LOCAL_MACHINE);
    key.SetSubKey(AppContext().m_szRegKey.c_str());
    key.SetValueName(valueName);
    return key;
  }
  InstallContext saved_;
  TempFolder folder_;
};

TEST_F(InstallContextTest, NotInstalledWithoutAProductKeyOrWithAnEmptyFolder) {
  EXPECT_FALSE(LocateInstallation());
  EXPECT_TRUE(AppContext().m_szAppPath.empty());
  Write("", "");
  EXPECT_FALSE(LocateInstallation());
  EXPECT_TRUE(AppContext().m_szDownloadDir.empty());
  EXPECT_TRUE(AppContext().m_szUpdateUrl.empty());
}

TEST_F(InstallContextTest, FillsEveryValueAndCreatesTheWholeDownloadFolderChain) {
  const std::string appPath = folder_ / "Prog\\Tavlen";
  Write("", appPath);
  WriteCert({0x07, 0x00, 0x31, 0x20});
  ASSERT_TRUE(LocateInstallation());
  const InstallContext& context = AppContext();
  EXPECT_EQ(context.m_szCurVersion, "2.3.1.7");
  EXPECT_EQ(context.m_szAppPath, appPath);
  EXPECT_EQ(context.m_szDownloadDir, appPath + "\\download");
  EXPECT_TRUE(DirectoryExists(context.m_szDownloadDir));
  EXPECT_EQ(context.m_szUpdateUrl, kDefaultUpdateUrl);
  EXPECT_EQ(std::string(kDefaultUpdateUrl).rfind("http://", 0), 0u);
  EXPECT_NE(std::string(kDefaultUpdateUrl).find("/file/update/update.xml"), std::string::npos);
  EXPECT_FALSE(context.m_szWinPath.empty());
  EXPECT_EQ(context.m_szSys32Path.rfind(context.m_szWinPath, 0), 0u);
  EXPECT_EQ(context.m_szModulePath, GetModulePath());
  EXPECT_EQ(context.m_szModuleDir + "\\" + context.m_szModuleName, context.m_szModulePath);
}

TEST_F(InstallContextTest, AStoredTrailingBackslashStaysInTheDownloadFolder) {
  Write("", folder_.Path() + "\\");
  ASSERT_TRUE(LocateInstallation());
  EXPECT_EQ(AppContext().m_szDownloadDir, folder_.Path() + "\\\\download");
}

TEST_F(InstallContextTest, TheStoredUrlIsATemplateForTheInstalledVersion) {
  const struct {
    const char* stored;
    bool withCert;
    const char* expected;
  } cases[] = {
      {"http://h/u.xml?v=%s", true, "http://h/u.xml?v=2.3.1.7"},
      {"http://h/u.xml?v=%s", false, "http://h/u.xml?v="},
      {"http://h/u%%20x.xml", true, "http://h/u%20x.xml"},
      {"http://h/plain.xml", true, "http://h/plain.xml"},
      {"", true, nullptr},
  };
  Write("", folder_.Path());
  for (const auto& c : cases) {
    RegistryKey cert = ProductKey("cert");
    cert.DeleteValue("cert");
    if (c.withCert) WriteCert({0x07, 0x00, 0x31, 0x20});
    Write("updateurl", c.stored);
    ASSERT_TRUE(LocateInstallation());
    EXPECT_EQ(AppContext().m_szUpdateUrl, c.expected != nullptr ? c.expected : kDefaultUpdateUrl) << c.stored;
  }
}

TEST_F(InstallContextTest, MissingCertLeavesTheVersionEmptyButTheContextFilled) {
  Write("", folder_.Path());
  ASSERT_TRUE(LocateInstallation());
  EXPECT_EQ(AppContext().m_szCurVersion, "");
  EXPECT_FALSE(AppContext().m_szModulePath.empty());
}

}  // namespace
