// Extracts one archive of 2,000 files (256 MiB in all) with the "unzip"
// action and with Info-ZIP unzip, alternately, and prints the throughput of
// each and their ratio (goal: the action reaches at least 0.9 of unzip).
//   bench_unzip [runs]      (default 3; the best run of each counts)
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "actions/unzip_action.h"
#include "platform/win32.h"
#include "tests/actions/zip_writer.h"

namespace {

constexpr int kFiles = 2000;
constexpr size_t kTotal = 256u << 20;

// Text-like content that deflates to about a third, as program files do.
std::string FileContent(size_t size, unsigned seed) {
  static const char* const words[] = {"update ", "tavlen ", "package ", "version ", "install ", "folder ",
                                      "registry ", "\r\n", "0x7f3a ", "data "};
  std::string text;
  text.reserve(size + 16);
  unsigned state = seed * 2654435761u + 1;
  while (text.size() < size) {
    state = state * 1664525u + 1013904223u;
    if ((state >> 28) < 3) {
      text += static_cast<char>('!' + ((state >> 8) % 90));  // some noise
    } else {
      text += words[(state >> 16) % 10];
    }
  }
  text.resize(size);
  return text;
}

// The Windows form of a Unix path: drive Z: is the root.
std::string WindowsPath(const std::string& unixPath) {
  std::string path = "Z:" + unixPath;
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}

double Seconds(const std::function<void()>& work) {
  // <chrono> cannot be compiled with the CP936 execution character set.
  timespec start{}, end{};
  clock_gettime(CLOCK_MONOTONIC, &start);
  work();
  clock_gettime(CLOCK_MONOTONIC, &end);
  return static_cast<double>(end.tv_sec - start.tv_sec) + (end.tv_nsec - start.tv_nsec) / 1e9;
}

bool RunInfoZip(const std::string& archive, const std::string& folder) {
  const pid_t child = fork();
  if (child == 0) {
    execlp("unzip", "unzip", "-q", "-o", archive.c_str(), "-d", folder.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  return child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
  namespace fs = std::filesystem;
  const fs::path work = fs::temp_directory_path() / ("tavlen-bench-unzip-" + std::to_string(getpid()));
  fs::create_directories(work);
  fs::current_path(work);  // the action's log goes here
  const std::string archive = (work / "package.zip").string();

  std::printf("building %d files, %zu MiB ...\n", kFiles, kTotal >> 20);
  std::vector<tavlen::test::ZipEntrySpec> entries;
  for (int i = 0; i < kFiles; ++i) {
    tavlen::test::ZipEntrySpec entry;
    entry.name = "pkg/dir" + std::to_string(i % 40) + "/file" + std::to_string(i) + ".dat";
    entry.data = FileContent(kTotal / kFiles, static_cast<unsigned>(i));
    entries.push_back(std::move(entry));
  }
  {
    const std::string bytes = tavlen::test::BuildZip(entries);
    entries.clear();
    FILE* out = std::fopen(archive.c_str(), "wb");
    if (out == nullptr || std::fwrite(bytes.data(), 1, bytes.size(), out) != bytes.size()) return 1;
    std::fclose(out);
    std::printf("archive: %.1f MiB compressed\n", bytes.size() / 1048576.0);
  }

  double bestAction = 1e9, bestInfoZip = 1e9;
  for (int run = 0; run < runs; ++run) {
    const fs::path ours = work / "ours", theirs = work / "infozip";
    fs::remove_all(ours);
    fs::remove_all(theirs);
    fs::remove(work / "updater.log");
    bool ok = true;
    const double action = Seconds([&] {
      UnzipAction unzip;
      unzip.SetAttribute("file", WindowsPath(archive));
      unzip.SetAttribute("where", WindowsPath(ours.string()));
      ok = unzip.Execute();
    });
    const double infoZip = Seconds([&] { ok = RunInfoZip(archive, theirs.string()) && ok; });
    if (!ok) {
      std::fprintf(stderr, "extraction failed\n");
      return 1;
    }
    bestAction = std::min(bestAction, action);
    bestInfoZip = std::min(bestInfoZip, infoZip);
    std::printf("run %d: unzip action %.2f s, Info-ZIP unzip %.2f s\n", run + 1, action, infoZip);
  }
  const double mib = static_cast<double>(kTotal) / 1048576.0;
  std::printf("unzip action:   %.1f MiB/s\n", mib / bestAction);
  std::printf("Info-ZIP unzip: %.1f MiB/s\n", mib / bestInfoZip);
  std::printf("ratio (action / Info-ZIP, goal >= 0.9): %.2f\n", bestInfoZip / bestAction);
  fs::current_path(fs::temp_directory_path());
  fs::remove_all(work);
  return 0;
}
