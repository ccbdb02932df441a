// One card: the record the collection holds and the card file stores.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace tessel {

struct CardInfo {
  std::string index;  // title and sort key, Windows-1252 bytes
  std::string body;   // plain text with its line breaks
  int32_t tag = 1;    // 1 = tagged; every new card starts tagged

  CardInfo() = default;
  explicit CardInfo(std::string indexText) : index(std::move(indexText)) {}
  CardInfo(std::string indexText, std::string bodyText, int32_t tagFlag)
      : index(std::move(indexText)), body(std::move(bodyText)), tag(tagFlag) {}

  bool operator==(const CardInfo&) const = default;
};

// Walks over many cards touch texts spread over the heap; asking for the
// memory a few cards ahead hides most of the wait.
inline constexpr std::size_t kPrefetchAhead = 8;
inline void PrefetchTexts(const CardInfo& card) {
  __builtin_prefetch(card.index.data());
  __builtin_prefetch(card.body.data());
}

}  // namespace tessel
