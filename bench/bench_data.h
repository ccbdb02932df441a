// Cards shaped like the benchmark's reference data: 20-byte index texts in
// random order and 200-byte bodies.
#pragma once

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "cards/card_file.h"
#include "cards/card_info.h"

namespace tessel::bench {

// Prints a failed read or save on stderr and passes the result on.
struct StderrReporter {
  FileResult operator()(FileResult result) const {
    if (!result) std::fprintf(stderr, "%s\n", result.message.c_str());
    return result;
  }
};

inline std::vector<CardInfo> MakeCards(std::size_t n, uint32_t seed = 1) {
  std::mt19937 rng(seed);
  const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
  std::vector<CardInfo> cards;
  cards.reserve(n);
  for (std::size_t i = 0; i < n; ++i) {
    std::string index(20, ' ');
    for (char& c : index) c = letters[rng() % 52];
    std::string body(200, ' ');
    for (std::size_t k = 0; k < body.size(); k += 8) body[k] = letters[rng() % 26];
    cards.emplace_back(std::move(index), std::move(body), static_cast<int32_t>(rng() & 1));
  }
  return cards;
}

}  // namespace tessel::bench
