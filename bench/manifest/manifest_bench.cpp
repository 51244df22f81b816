// Time per package of LoadManifest on a manifest of 10,000 packages, next to
// a plain parse of the same text by the XML reader alone. The difference is
// what the agent adds: path variables, the nesting check, the package model,
// and two actions per package created, loaded and expanded.
#include <tinyxml.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <string>

#include "actions/core/action_factory.h"
#include "manifest/update_info.h"
#include "platform/win32.h"
#include "update/install_context.h"

namespace {

constexpr int kPackages = 10000;
constexpr int kRounds = 5;

// A stand-in action type with the attribute lists of the unzip and run types,
// registered for the benchmark only, so that action loading is measured.
class BenchAction : public UpdateAction {
 public:
  explicit BenchAction(std::string type = "unzip") : UpdateAction(std::move(type)) { ResetAttributes(); }
  void ResetAttributes() override {
    UpdateAction::ResetAttributes();
    if (Type() == "run") {
      DeclareAttributes("description,cmd,args,async", ",,,false");
    } else {
      DeclareAttributes("description,file,where", ",,");
    }
  }
  TAVLEN_ACTION_CLONE(BenchAction)
};

std::string BuildManifest() {
  std::string text = "<?xml version=\"1.0\" encoding=\"gb2312\"?>\n<updateinfo version=\"9.0.0.1\">\n";
  char package[1024];
  for (int i = 0; i < kPackages; ++i) {
    std::snprintf(package, sizeof package,
                  "  <package name=\"part%d\">\n"
                  "    <version>9.0.0.%d</version>\n"
                  "    <description>正在更新组件 %d</description>\n"
                  "    <url>http://update.example/parts/part%d.zip</url>\n"
                  "    <md5>0123456789abcdef0123456789abcdef</md5>\n"
                  "    <actions>\n"
                  "      <action type=\"unzip\" file=\"${this_file}\" where=\"${app_path}\\\\parts\"/>\n"
                  "      <action type=\"run\" cmd=\"${app_path}\\\\bin\\\\register.exe\" args=\"/part %d\"/>\n"
                  "    </actions>\n"
                  "  </package>\n",
                  i, i, i, i, i);
    text += package;
  }
  return text + "</updateinfo>\n";
}

// A monotonic clock in seconds (<chrono> does not compile with the CP936
// execution character set).
double Now() {
#ifdef _WIN32
  LARGE_INTEGER frequency;
  LARGE_INTEGER counter;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&counter);
  return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
#else
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
#endif
}

template <typename Work>
double BestSeconds(Work work) {
  double best = 1e30;
  for (int round = 0; round < kRounds; ++round) {
    const double start = Now();
    work();
    best = std::min(best, Now() - start);
  }
  return best;
}

}  // namespace

int main() {
  AppContext().m_szCurVersion = "9.0.0.0";
  AppContext().m_szAppPath = "C:\\Program Files\\Tavlen";
  ActionFactory::Instance().Register(std::make_unique<BenchAction>("unzip"));
  ActionFactory::Instance().Register(std::make_unique<BenchAction>("run"));

  const std::string text = BuildManifest();
  std::size_t packages = 0;
  const double load = BestSeconds([&] {
    UpdateInfo info;
    info.LoadManifest(text);
    packages = info.m_packages.size();
  });
  bool parsed = false;
  const double parse = BestSeconds([&] {
    TiXmlDocument document;
    document.Parse(text.c_str());
    parsed = !document.Error();
  });
  ActionFactory::Instance().DestroyPrototypes();

  if (packages != static_cast<std::size_t>(kPackages) || !parsed) {
    std::printf("manifest_bench: the manifest did not load (%zu packages)\n", packages);
    return 1;
  }
  std::printf("manifest of %d packages, %zu bytes, best of %d rounds\n", kPackages, text.size(), kRounds);
  std::printf("LoadManifest:       %8.2f us per package\n", load * 1e6 / kPackages);
  std::printf("XML reader parse:   %8.2f us per package\n", parse * 1e6 / kPackages);
  std::printf("ratio load / parse: %8.2f\n", load / parse);
  return 0;
}
