// Md5Digest::OfFile against md5sum on the same file, in the same run.
//   md5_bench FILE     FILE: a Unix path (run_benchmarks.sh makes 1 GiB)
#include <cstdio>
#include <string>

#include "bench/transfer/bench_support.h"
#include "transfer/md5.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: md5_bench FILE\n");
    return 2;
  }
  const std::string file = argv[1];
  std::string windowsPath = "Z:" + file;
  for (auto& c : windowsPath) {
    if (c == '/') c = '\\';
  }
  // Read once so both runs find the file in the page cache.
  bench::TimeCommand("cat '" + file + "' > /dev/null");
  const double reference = bench::TimeCommand("md5sum '" + file + "' > /dev/null");
  const double start = bench::Now();
  const char* digest = Md5Digest::OfFile(windowsPath);
  const double agent = bench::Now() - start;
  if (digest == nullptr || reference <= 0) return 1;
  std::printf("MD5 of %s: agent %.2f s, md5sum %.2f s, speed ratio %.2f (goal >= 0.9)\n", file.c_str(), agent,
              reference, reference / agent);
  return 0;
}
