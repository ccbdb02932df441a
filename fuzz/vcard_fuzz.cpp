// Fuzz target for the vCard reader: any input gives either nothing and a
// message, or cards no more numerous than the input can hold, each one line
// of index and a bounded body, that the vCard export writes and the reader
// reads back unchanged.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "cards/vcard_file.h"
#include "output/vcard_writer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  using namespace tessel;
  std::vector<CardInfo> cards;
  const VcardReadResult result =
      ParseVcards(std::string_view(reinterpret_cast<const char*>(data), size), cards);
  if (VcardMessage(result, "f.vcf").empty()) std::abort();
  if (!result.Imports()) {
    if (!cards.empty() || result.detail.empty()) std::abort();
    return 0;
  }
  // The shortest vCard: "BEGIN:VCARD\rEND:VCARD", 21 bytes.
  if (cards.empty() || cards.size() != result.imported || cards.size() > size / 21) std::abort();
  bool nul = false;
  std::size_t text = 0;
  for (const CardInfo& c : cards) {
    if (c.index.find_first_of("\r\n") != std::string::npos) std::abort();
    if (c.index.size() + c.body.size() > 2 * kVcardMaxCardText) std::abort();
    text += c.index.size() + c.body.size();
    nul |= std::memchr(c.index.data(), 0, c.index.size()) || std::memchr(c.body.data(), 0, c.body.size());
  }
  // The export ends a text at its NUL, as every output does. A card near the
  // size limit may grow past it in UTF-8 with its escapes and phone lines.
  if (nul || text > kVcardMaxCardText / 8) return 0;
  std::vector<CardInfo> again;
  if (ParseVcards(VcardBytes(cards), again).status != VcardStatus::Ok || again != cards) std::abort();
  return 0;
}
