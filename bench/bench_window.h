// What the window benchmarks share: a card file of n generated cards on disk
// and a timer that reports the median and the slowest of several runs.
#pragma once

#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "bench_data.h"
#include "cards/card_file.h"

namespace tessel::bench {

// Writes n generated cards to `name` in the temporary folder; returns the
// path, empty on failure.
inline std::string WriteTemporaryCardFile(const char* name, std::size_t n) {
  const std::string path = (std::filesystem::temp_directory_path() / name).string();
  const std::vector<uint8_t> bytes = CardFileBytes(FormatSettings{}, MakeCards(n));
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return {};
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  if (std::fclose(f) != 0 || !written) return {};
  std::printf("%zu cards\n", n);
  return path;
}

template <class Step>
void Report(const char* what, int runs, Step step) {
  std::vector<double> ms;
  for (int i = 0; i < runs; ++i) {
    QElapsedTimer t;
    t.start();
    step();
    ms.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
  }
  std::sort(ms.begin(), ms.end());
  std::printf("%-44s median %8.2f ms   max %8.2f ms   (%d runs)\n", what, ms[ms.size() / 2],
              ms.back(), runs);
}

}  // namespace tessel::bench
