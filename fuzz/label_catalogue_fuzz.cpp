// Fuzz target for the label catalogue files.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "services/label_catalogue.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const auto entries = tessel::ParseCatalogue(bytes);
  // Every entry but the last has at least one line of its own: the count in
  // the first line never makes more entries than the file has lines.
  std::size_t lines = 0;
  for (char c : bytes) lines += c == '\n';
  if (entries.size() > lines / 6 + 1) std::abort();
  std::size_t held = 0;
  for (const auto& e : entries) {
    held += e.labelName.size() + e.productNumber.size() + e.type.size() + e.height.size() +
            e.width.size() + e.pageSize.size();
  }
  if (held > size) std::abort();
  return 0;
}
