// The reader of the fixed-record versions (0xAAAA, and 0xAAAB with a tag
// flag per card): a card count, then records of fixed-size text fields.
#include "cards/card_file_parts.h"

namespace tessel::card_file {

ReadResult ReadFixedCards(ByteReader& in, uint32_t version, CardFileData& out) {
  int32_t count;
  if (!ReadI32(in, count)) return Damaged("it ends before its card count");
  if (count <= 0) return {};
  const std::size_t record =
      kFixedIndexField + kFixedBodyField + (version == kVersionFixedTagged ? 4 : 0);
  if (static_cast<uint64_t>(count) * record > in.Remaining()) {
    return Damaged("it announces " + std::to_string(count) + " cards but ends after " +
                   std::to_string(in.Remaining() / record));
  }
  out.cards.reserve(static_cast<std::size_t>(count));
  uint8_t buffer[kFixedIndexField + kFixedBodyField];
  for (int32_t i = 0; i < count; ++i) {
    if (!in.Bytes(buffer, sizeof buffer)) return Damaged("it ends in the middle of a card");
    CardInfo card(FixedField(buffer, kFixedIndexField),
                  FixedField(buffer + kFixedIndexField, kFixedBodyField), 1);
    if (version == kVersionFixedTagged && !ReadI32(in, card.tag)) {
      return Damaged("it ends in the middle of a card");
    }
    out.cards.push_back(std::move(card));
  }
  return {};
}

}  // namespace tessel::card_file
