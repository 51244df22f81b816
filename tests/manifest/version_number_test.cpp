// Version numbers: the packed form of "cert", the comparison with the
// installed version, and their registry record.
#include <gtest/gtest.h>

#include <vector>

#include "manifest/version_number.h"
#include "platform/registry_key.h"
#include "update/install_context.h"

namespace tavlen::test {
namespace {

TEST(VersionNumber, PacksIntoFourEightFourAndSixteenBits) {
  const struct {
    const char* text;
    uint32_t packed;
    const char* unpacked;
  } cases[] = {
      {"2.3.1.7", 0x20310007u, "2.3.1.7"},
      {"15.255.15.65535", 0xFFFFFFFFu, "15.255.15.65535"},
      {"0.0.0.0", 0u, "0.0.0.0"},
      {"1.2.3.70000", 0x10231170u, "1.2.3.4464"},  // 70000 & 0xFFFF
      {"16.256.16.0", 0u, "0.0.0.0"},                // every part beyond its width
      {"3.12", 0x30C00000u, "3.12.0.0"},             // missing numbers count as 0
      {"", 0u, "0.0.0.0"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(PackVersion(c.text), c.packed) << c.text;
    EXPECT_EQ(UnpackVersion(PackVersion(c.text)), c.unpacked) << c.text;
  }
}

TEST(VersionNumber, ComparesNumberByNumberWithTheInstalledVersion) {
  const std::string saved = AppContext().m_szCurVersion;
  const struct {
    const char* installed;
    const char* offered;
    bool newer;
  } cases[] = {
      {"1.2.3.4", "1.2.3.5", true},    {"1.2.3.4", "1.2.3.4", false},  {"1.2.3.4", "1.2.2.9", false},
      {"1.10.0.0", "1.9.9.9", false},  {"1.9.9.9", "1.10.0.0", true},  {"1.2.3.65535", "1.2.3.70000", true},
      {"", "0.0.0.1", true},           {"", "", false},                {"1.0.0.0", "", false},
      {"1.0.0.0", " 1. 0.0.1", true},  {"1.0.0.0", "1.0.0.1beta", true}, {"1.0.0.0", "v2.0.0.0", false},
      {"4294967295.0.0.0", "4294967295.0.0.1", true},
  };
  for (const auto& c : cases) {
    AppContext().m_szCurVersion = c.installed;
    EXPECT_EQ(CompareWithInstalled(c.offered) > 0, c.newer) << c.installed << " vs " << c.offered;
  }
  AppContext().m_szCurVersion = saved;
}

// A product key of its own below HKEY_LOCAL_MACHINE for the registry cases.
class InstalledVersionTest : public testing::Test {
 protected:
  void SetUp() override {
    m_saved = AppContext();
    AppContext().m_szRegKey = "SOFTWARE\\TavlenVersionTest";
    m_cert.SetRootKey(HKEY_LOCAL_MACHINE);
    m_cert.SetSubKey(AppContext().m_szRegKey.c_str());
    m_cert.SetValueName("cert");
    m_cert.DeleteKeyTree(AppContext().m_szRegKey);
  }
  void TearDown() override {
    m_cert.DeleteKeyTree(AppContext().m_szRegKey);
    AppContext() = m_saved;
  }
  std::vector<BYTE> Cert() {
    std::vector<BYTE> bytes;
    EXPECT_EQ(m_cert.ReadRaw(bytes), ERROR_SUCCESS);
    return bytes;
  }
  std::string DisplayVersion() {
    RegistryKey key;
    key.SetRootKey(HKEY_LOCAL_MACHINE);
    key.SetSubKey(kUninstallKey);
    key.SetValueName("DisplayVersion");
    std::string text;
    key.ReadString(text);
    return text;
  }

  RegistryKey m_cert;
  InstallContext m_saved;
};

TEST_F(InstalledVersionTest, ReadsTheFirstFourBytesLittleEndian) {
  const BYTE bytes[] = {0x07, 0x00, 0x31, 0x20, 0xAA, 0xBB, 0xCC, 0xDD};
  ASSERT_EQ(m_cert.WriteBinary(bytes, sizeof bytes), ERROR_SUCCESS);
  EXPECT_EQ(ReadInstalledVersion(), "2.3.1.7");
  ASSERT_EQ(m_cert.DeleteValue("cert"), true);
  EXPECT_EQ(ReadInstalledVersion(), "");
}

TEST_F(InstalledVersionTest, StoringKeepsTheBytesAfterTheFourth) {
  const BYTE bytes[] = {0, 0, 0, 0, 0xAA, 0xBB, 0xCC, 0xDD};
  ASSERT_EQ(m_cert.WriteBinary(bytes, sizeof bytes), ERROR_SUCCESS);
  StoreInstalledVersion("2.3.1.7");
  EXPECT_EQ(Cert(), (std::vector<BYTE>{0x07, 0x00, 0x31, 0x20, 0xAA, 0xBB, 0xCC, 0xDD}));
  EXPECT_EQ(DisplayVersion(), "2.3.1.7");

  StoreInstalledVersion("1.2.3.70000 (beta)");
  EXPECT_EQ(ReadInstalledVersion(), "1.2.3.4464");
  EXPECT_EQ(Cert().size(), 8u);
  EXPECT_EQ(DisplayVersion(), "1.2.3.70000 (beta)");
}

TEST_F(InstalledVersionTest, MissingCertIsNotCreated) {
  StoreInstalledVersion("3.0.0.1");
  std::vector<BYTE> bytes;
  EXPECT_NE(m_cert.ReadRaw(bytes), ERROR_SUCCESS);
  EXPECT_EQ(DisplayVersion(), "3.0.0.1");
}

}  // namespace
}  // namespace tavlen::test
