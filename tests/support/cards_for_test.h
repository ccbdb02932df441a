// A collection of (index, body) cards, loaded as a file load would.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "cards/card_collection.h"

namespace tessel {

inline CardCollection Cards(const std::vector<std::pair<std::string, std::string>>& cards) {
  CardCollection c;
  std::vector<CardInfo> records;
  for (const auto& [index, body] : cards) records.emplace_back(index, body, 1);
  c.AppendCards(std::move(records));
  return c;
}

}  // namespace tessel
