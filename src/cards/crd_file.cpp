#include "cards/crd_file.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>

#include "cards/card_file.h"

namespace tessel {
namespace {

constexpr std::size_t kSignatureSize = sizeof kCrdSignature - 1;
// Index entries are read this many at a time.
constexpr std::size_t kEntriesPerRead = 256;

CrdReadResult Result(CrdStatus status, std::string detail = {}) {
  CrdReadResult r;
  r.status = status;
  r.detail = std::move(detail);
  return r;
}

// Reads the text block at `position` as the card's body: a 32-bit length L,
// then at most min(L, 1024) bytes, cut at the first zero byte. Returns
// whether the text is whole. `budget` is the text the file can still
// account for: a sound file never yields more text than it holds, so
// entries that all point at one block cannot multiply it.
bool ReadText(PositionedReader& in, uint32_t position, uint64_t& budget, std::string& body) {
  body.clear();
  const uint64_t size = in.Size();
  uint8_t length[4];
  if (position > size || size - position < sizeof length) return false;  // outside the file
  if (in.ReadAt(position, length, sizeof length) != sizeof length) return false;
  const uint32_t declared = LoadU32(length);
  const uint64_t start = uint64_t{position} + sizeof length;
  const std::size_t window = static_cast<std::size_t>(std::min<uint64_t>(declared, kCrdTextWindow));
  const std::size_t want = static_cast<std::size_t>(std::min<uint64_t>(window, size - start));

  char text[kCrdTextWindow];
  const std::size_t got = in.ReadAt(start, text, want);
  const void* zero = std::memchr(text, 0, got);
  std::size_t n = zero ? static_cast<std::size_t>(static_cast<const char*>(zero) - text) : got;
  bool whole = got == want;
  if (n > budget) {
    n = static_cast<std::size_t>(budget);
    whole = false;
  }
  budget -= n;
  body.assign(text, n);
  if (!whole || zero || got == window) return whole;
  // The file ended before the text did. The classic program writes a 16-bit
  // picture size (0) and a 16-bit text length where this reader takes one
  // 32-bit length, and its last text runs to the end of the file: that text
  // is whole when the 16-bit length is met.
  const uint32_t classicLength = declared >> 16;
  return (declared & 0xFFFF) == 0 && got >= std::min<std::size_t>(classicLength, kCrdTextWindow);
}

}  // namespace

namespace {

CrdReadResult ParseCards(PositionedReader& in, std::vector<CardInfo>& cards) {
  cards.clear();
  uint8_t header[kCrdHeader];
  const std::size_t got = in.ReadAt(0, header, sizeof header);
  if (got < kSignatureSize || std::memcmp(header, kCrdSignature, kSignatureSize) != 0) {
    return Result(CrdStatus::Incompatible);
  }
  if (got < kCrdHeader) return Result(CrdStatus::Damaged, "it ends before its card count");
  const auto count = static_cast<int32_t>(LoadU32(header + kSignatureSize));
  CrdReadResult result;
  result.announced = count;
  if (count <= 0) return result;

  // Only entries the file holds whole are looked at, whatever the count says.
  const uint64_t inFile = (in.Size() - kCrdHeader) / kCrdEntry;
  if (inFile == 0) {
    result.status = CrdStatus::Damaged;
    result.detail = "it ends before its first card";
    return result;
  }
  const auto readable = static_cast<std::size_t>(std::min<uint64_t>(count, inFile));
  cards.reserve(readable);
  uint64_t budget = in.Size();
  std::vector<uint8_t> entries(kCrdEntry * std::min(readable, kEntriesPerRead));
  std::string body;
  for (std::size_t k = 0; k < readable;) {
    const std::size_t batch = std::min(readable - k, kEntriesPerRead);
    const std::size_t bytes = in.ReadAt(kCrdHeader + uint64_t{k} * kCrdEntry, entries.data(),
                                        batch * kCrdEntry);
    const std::size_t complete = bytes / kCrdEntry;
    for (std::size_t i = 0; i < complete; ++i) {
      const uint8_t* entry = entries.data() + i * kCrdEntry;
      const bool whole = ReadText(in, LoadU32(entry + kCrdEntryPosition), budget, body);
      cards.emplace_back(FixedField(entry + kCrdEntryIndex, kCrdIndexField), body, 1);
      if (whole) ++result.whole;
    }
    if (complete < batch) break;  // a read error, or the file shrank meanwhile
    k += batch;
  }
  result.imported = cards.size();
  if (result.whole < static_cast<uint64_t>(count)) {
    result.status = CrdStatus::Partial;
    if (cards.size() < static_cast<uint64_t>(count)) {
      result.detail = "it ends after " + std::to_string(cards.size()) + " of its index entries";
    } else {
      result.detail = "some texts lie outside the file or are cut off";
    }
  }
  return result;
}

}  // namespace

CrdReadResult ParseCrdFile(PositionedReader& in, std::vector<CardInfo>& cards) {
  try {
    return ParseCards(in, cards);
  } catch (const std::bad_alloc&) {
    // Refused whole, like a file too short for a card; what was read goes
    // before the message is made.
    std::vector<CardInfo>().swap(cards);
    return Result(CrdStatus::Damaged, kNoMemoryForCards);
  }
}

CrdReadResult ParseCrdFile(std::span<const uint8_t> bytes, std::vector<CardInfo>& cards) {
  PositionedReader in(bytes);
  return ParseCrdFile(in, cards);
}

CrdReadResult LoadCrdFile(const std::string& path, std::vector<CardInfo>& cards) {
  cards.clear();
  uint64_t size = 0;
  const int fd = OpenForReading(path, size);
  if (fd < 0) return Result(CrdStatus::OpenFailed, std::strerror(errno));
  PositionedReader in(fd, size);
  CrdReadResult result = ParseCrdFile(in, cards);
  ::close(fd);
  return result;
}

bool LooksLikeCrdFile(const std::string& path) {
  uint64_t size = 0;
  const int fd = OpenForReading(path, size);
  if (fd < 0) return false;
  uint8_t signature[kSignatureSize];
  PositionedReader in(fd, size);
  const bool match = in.ReadAt(0, signature, sizeof signature) == sizeof signature &&
                     std::memcmp(signature, kCrdSignature, sizeof signature) == 0;
  ::close(fd);
  return match;
}

std::string CrdMessage(const CrdReadResult& result, const std::string& path) {
  switch (result.status) {
    case CrdStatus::Ok:
      return {};
    case CrdStatus::OpenFailed:
      return "File error - 25";
    case CrdStatus::Incompatible:
      return "File not compatible";
    case CrdStatus::Damaged:
      return "File error - \"" + path + "\" is damaged or incomplete: " + result.detail +
             ". Nothing was imported from it.";
    case CrdStatus::Partial:
      break;
  }
  // Cards imported, but not all of them whole.
  std::string text = "\"" + path + "\" is damaged or incomplete (" + result.detail + "): only " +
                     std::to_string(result.whole) + " of the " + std::to_string(result.announced) +
                     " cards it announces were imported whole";
  if (const std::size_t cut = result.imported - result.whole; cut > 0) {
    text += "; " + std::to_string(cut) +
            (cut == 1 ? " more was imported with its text" : " more were imported with their texts") +
            " missing or cut short";
  }
  return text + ".";
}

}  // namespace tessel
