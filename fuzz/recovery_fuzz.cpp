// Fuzz target for the recovery file reader: any input must either fail
// with a reason and no cards, or give a document that survives being
// written and read again unchanged.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "cards/recovery.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  using namespace tessel;
  RecoveryData parsed;
  std::string error;
  if (!ParseRecovery(std::span<const uint8_t>(data, size), parsed, error)) {
    if (error.empty() || !parsed.cards.cards.empty()) std::abort();
    return 0;
  }
  if (parsed.header.path.size() > kMaxRecoveryPath || !parsed.cards.format) std::abort();
  RecoveryData again;
  const std::vector<uint8_t> bytes =
      RecoveryBytes(parsed.header, *parsed.cards.format, parsed.cards.cards);
  if (!ParseRecovery(bytes, again, error)) std::abort();
  if (again.header.path != parsed.header.path || again.header.pid != parsed.header.pid ||
      again.header.written != parsed.header.written ||
      again.header.saveBlocked != parsed.header.saveBlocked ||
      again.cards.cards != parsed.cards.cards || again.cards.format != parsed.cards.format) {
    std::abort();
  }
  return 0;
}
