// One-shot measurements for the side-by-side comparison script:
//   bench_io gen N FILE INDEXES   write N shuffled cards and their index texts
//   bench_io load FILE            load + sort; prints milliseconds and peak memory
//   bench_io save FILE OUT        load, then time one save of it
//   bench_io run CMD ARGS...      run a whole process; its wall time and peak memory
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

#include "bench_data.h"
#include "cards/card_file.h"

namespace {

using namespace tessel;
using Clock = std::chrono::steady_clock;

long PeakKiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

double Ms(Clock::time_point since) {
  return std::chrono::duration<double, std::milli>(Clock::now() - since).count();
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  bench::StderrReporter errors;
  if (mode == "gen" && argc == 5) {
    const auto cards = bench::MakeCards(std::stoul(argv[2]));
    // Written in generated (unsorted) order so the load has real sorting to do.
    const auto bytes = CardFileBytes(FormatSettings{}, cards);
    std::ofstream(argv[3], std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                   static_cast<std::streamsize>(bytes.size()));
    std::ofstream indexes(argv[4], std::ios::binary);
    for (const CardInfo& c : cards) indexes << c.index << '\n';
    return 0;
  }
  if (mode == "load" && argc == 3) {
    const long baseline = PeakKiB();
    const auto start = Clock::now();
    CardCollection cards;
    FormatSettings format;
    if (!errors(ReadCardFile(cards, format, argv[2]))) return 1;
    const double ms = Ms(start);
    std::printf("load+sort %zu cards: %.0f ms, peak memory %.0f MiB above baseline\n", cards.Size(),
                ms, (PeakKiB() - baseline) / 1024.0);
    return 0;
  }
  if (mode == "save" && argc == 4) {
    CardCollection cards;
    FormatSettings format;
    if (!errors(ReadCardFile(cards, format, argv[2]))) return 1;
    const auto start = Clock::now();
    if (!errors(WriteCardFile(cards, format, argv[3]))) return 1;
    std::printf("save %zu cards: %.0f ms\n", cards.Size(), Ms(start));
    return 0;
  }
  if (mode == "run" && argc >= 3) {
    const auto start = Clock::now();
    const pid_t child = fork();
    if (child == 0) {
      // Its output is not what is measured.
      std::freopen("/dev/null", "w", stdout);
      execvp(argv[2], argv + 2);
      _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (child < 0 || wait4(child, &status, 0, &usage) < 0) return 1;
    const double ms = Ms(start);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return 1;
    // Pages touched for the first time cost this machine most of a large
    // load: the fault count and the system time show it.
    std::printf("run: %.0f ms, peak memory %.0f MiB, %ld page faults, %.0f ms system time\n", ms,
                usage.ru_maxrss / 1024.0, usage.ru_minflt + usage.ru_majflt,
                usage.ru_stime.tv_sec * 1e3 + usage.ru_stime.tv_usec / 1e3);
    return 0;
  }
  std::fprintf(stderr,
               "usage: bench_io gen N FILE INDEXES | load FILE | save FILE OUT | run CMD...\n");
  return 2;
}
