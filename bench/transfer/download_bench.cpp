// Download throughput against curl over loopback, and the peak memory of a
// small and a large download. Started by run_benchmarks.sh, which serves the
// files with nginx.
//   download_bench speed URL FOLDER       FOLDER: a Unix folder for the copies
//   download_bench memory URL_SMALL URL_LARGE FOLDER
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "bench/transfer/bench_support.h"
#include "transfer/downloader.h"

namespace {

std::string WindowsPath(std::string unixPath) {
  for (auto& c : unixPath) {
    if (c == '/') c = '\\';
  }
  return "Z:" + unixPath;
}

bool Fetch(const std::string& url, const std::string& folder) {
  std::string address = url;
  std::string target = WindowsPath(folder + "/agent.bin");
  return Download(address, target, true, true);
}

// Peak resident memory, in KiB, of a child process that downloads url.
long PeakOfDownload(const std::string& url, const std::string& folder) {
  const pid_t child = fork();
  if (child == 0) _exit(Fetch(url, folder) ? 0 : 1);
  int status = 0;
  rusage usage{};
  if (wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
  return usage.ru_maxrss;
}

}  // namespace

int main(int argc, char** argv) {
  bench::PercentDisplay display;
  SetMainWindow(&display);
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "speed" && argc == 4) {
    const std::string url = argv[2], folder = argv[3];
    const double curl = bench::TimeCommand("curl -s -o '" + folder + "/curl.bin' '" + url + "'");
    const double start = bench::Now();
    const bool ok = Fetch(url, folder);
    const double agent = bench::Now() - start;
    if (curl <= 0 || !ok) return 1;
    std::printf("\nDownload over loopback: agent %.2f s, curl -o %.2f s, throughput ratio %.2f (goal >= 0.9)\n",
                agent, curl, curl / agent);
    return 0;
  }
  if (mode == "memory" && argc == 5) {
    const long small = PeakOfDownload(argv[2], argv[4]);
    const long large = PeakOfDownload(argv[3], argv[4]);
    if (small < 0 || large < 0) return 1;
    std::printf("\nPeak memory: small download %ld KiB, large download %ld KiB, difference %ld KiB (goal <= 5120)\n",
                small, large, large - small);
    return 0;
  }
  std::fprintf(stderr, "usage: download_bench speed URL FOLDER | memory URL_SMALL URL_LARGE FOLDER\n");
  return 2;
}
