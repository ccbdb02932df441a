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

uint16_t LoadU16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

// One look at a card's text: at most min(declared, 1024) bytes from `start`,
// cut at the first zero byte. `budget` is the text the file can still
// account for: a sound file never yields more text than it holds, so entries
// that all point at one block cannot multiply it.
struct TextWindow {
  std::size_t window = 0;  // bytes the declared length lets through the window
  std::size_t got = 0;     // bytes the file gave of them
  bool zero = false;       // the text ended at a zero byte
  bool held = false;       // the budget cut it
  bool Whole() const { return got == window && !held; }
};

TextWindow ReadWindow(PositionedReader& in, uint64_t start, uint64_t declared, uint64_t& budget,
                      std::string& body) {
  TextWindow w;
  const uint64_t size = in.Size();
  w.window = static_cast<std::size_t>(std::min<uint64_t>(declared, kCrdTextWindow));
  const std::size_t want =
      start > size ? 0 : static_cast<std::size_t>(std::min<uint64_t>(w.window, size - start));
  char text[kCrdTextWindow];
  w.got = in.ReadAt(start, text, want);
  const void* zero = std::memchr(text, 0, w.got);
  w.zero = zero != nullptr;
  std::size_t n = zero ? static_cast<std::size_t>(static_cast<const char*>(zero) - text) : w.got;
  if (n > budget) {
    n = static_cast<std::size_t>(budget);
    w.held = true;
  }
  budget -= n;
  body.assign(text, n);
  return w;
}

// A 16-bit text length at `at` and the text after it, as the classic program
// writes it after a picture or an object. Returns whether the text is whole.
bool ReadCountedText(PositionedReader& in, uint64_t at, uint64_t& budget, std::string& body) {
  body.clear();
  uint8_t length[2];
  if (at > in.Size() || in.Size() - at < sizeof length) return false;
  if (in.ReadAt(at, length, sizeof length) != sizeof length) return false;
  return ReadWindow(in, at + sizeof length, LoadU16(length), budget, body).Whole();
}

// Walks forward through one card's data, believing a size only when the file
// holds that many bytes. Once a step fails every later one does too, and the
// position never passes the end of the file.
class Walk {
 public:
  Walk(PositionedReader& in, uint64_t at) : in_(in), at_(at), ok_(at <= in.Size()) {}
  bool Ok() const { return ok_; }
  uint64_t At() const { return at_; }

  uint16_t Short() {
    uint8_t b[2];
    return Take(b, sizeof b) ? LoadU16(b) : 0;
  }
  uint32_t Long() {
    uint8_t b[4];
    return Take(b, sizeof b) ? LoadU32(b) : 0;
  }
  void Skip(uint64_t n) {
    if (!ok_ || n > in_.Size() - at_) {
      ok_ = false;
      return;
    }
    at_ += n;
  }
  // A 32-bit size and that many bytes.
  void SkipCounted() { Skip(Long()); }
  // A 32-bit size and a name of that many bytes with its closing zero byte;
  // names longer than any this reader looks for come back empty.
  std::string Name() {
    const uint32_t n = Long();
    uint8_t text[16];
    if (!ok_ || n > sizeof text) {
      Skip(n);
      return {};
    }
    return Take(text, n) ? FixedField(text, n) : std::string();
  }

 private:
  bool Take(void* dst, std::size_t n) {
    if (!ok_ || n > in_.Size() - at_ || in_.ReadAt(at_, dst, n) != n) {
      ok_ = false;
      return false;
    }
    at_ += n;
    return true;
  }

  PositionedReader& in_;
  uint64_t at_;
  bool ok_;
};

// OLE 1 format ids, as the Cardfile article of Microsoft's knowledge base
// names them.
constexpr uint32_t kOleLinked = 1;
constexpr uint32_t kOleEmbedded = 2;
constexpr uint32_t kOleStatic = 3;

// The picture an embedded or linked object carries for display.
void SkipPresentation(Walk& w) {
  w.Long();                   // version: OLE's own documentation says to ignore it
  if (w.Long() == 0) return;  // format id 0: no presentation follows
  const std::string name = w.Name();
  if (name == "METAFILEPICT" || name == "BITMAP" || name == "DIB") {
    w.Long();  // width
    w.Long();  // height
  } else if (w.Long() == 0) {  // a registered clipboard format, by name
    w.SkipCounted();
  }
  w.SkipCounted();  // the presentation data
}

enum class ObjectKind { Picture, Object, Unreadable };

// Walks over the OLE object that starts at the walk's position. Its size is
// written nowhere: only its own headers lead past it.
ObjectKind WalkObject(Walk& w) {
  w.Long();  // version, ignored
  const uint32_t format = w.Long();
  w.SkipCounted();  // class name
  if (format == kOleStatic) {
    w.Long();  // width
    w.Long();  // height
    w.SkipCounted();
    return w.Ok() ? ObjectKind::Picture : ObjectKind::Unreadable;
  }
  if (format != kOleLinked && format != kOleEmbedded) return ObjectKind::Unreadable;
  w.SkipCounted();  // topic
  w.SkipCounted();  // item
  if (format == kOleEmbedded) {
    w.SkipCounted();  // native data
  } else {
    w.SkipCounted();  // network name
    w.Long();         // network type
    w.Long();         // link update options
  }
  SkipPresentation(w);
  return w.Ok() ? ObjectKind::Object : ObjectKind::Unreadable;
}

// After an RRG object: character width and height, the object's rectangle
// and its type, all 16-bit.
constexpr uint64_t kRrgObjectTrailer = 2 + 2 + 8 + 2;
// Before an MGC picture's bits: its width, height and position, 16-bit each.
constexpr uint64_t kMgcPictureHeader = 8;

// A picture or object walked over is counted; one that cannot be walked over
// safely leaves its card without text, and the card counts as damaged.
bool LeaveUnreadable(CrdReadResult& result, std::string& body) {
  body.clear();
  ++result.unreadable;
  return false;
}

// One RRG card's data: a 16-bit object flag; when it is set, the object's id,
// the object and its placement; then the text. Returns whether the text is
// whole.
bool ReadRrgCard(PositionedReader& in, uint32_t position, uint64_t& budget, std::string& body,
                 CrdReadResult& result) {
  body.clear();
  Walk w(in, position);
  const uint16_t flag = w.Short();
  if (!w.Ok()) return false;  // outside the file, as a text can be
  if (flag != 0) {
    w.Skip(4);  // object id
    const ObjectKind kind = WalkObject(w);
    w.Skip(kRrgObjectTrailer);
    if (kind == ObjectKind::Unreadable || !w.Ok()) return LeaveUnreadable(result, body);
    ++(kind == ObjectKind::Picture ? result.pictures : result.objects);
  }
  return ReadCountedText(in, w.At(), budget, body);
}

// One MGC card's data: a 32-bit text length and the text, as this reader
// documents it. The classic program writes a 16-bit picture size and, after
// a picture, the picture's place and bits and then a 16-bit text length; a
// text-only card of its files reads as a length of 0 with the text length in
// the high half. Returns whether the text is whole.
bool ReadMgcCard(PositionedReader& in, uint32_t position, uint64_t& budget, std::string& body,
                 CrdReadResult& result) {
  body.clear();
  const uint64_t size = in.Size();
  uint8_t length[4];
  if (position > size || size - position < sizeof length) return false;  // outside the file
  if (in.ReadAt(position, length, sizeof length) != sizeof length) return false;
  const uint32_t declared = LoadU32(length);
  const uint32_t picture = declared & 0xFFFF;
  const uint32_t classicLength = declared >> 16;
  const uint64_t start = uint64_t{position} + sizeof length;
  if (picture != 0 && classicLength != 0) {
    // A picture (its width is the high half) before the text.
    Walk w(in, position);
    w.Skip(2 + kMgcPictureHeader + picture);
    if (!w.Ok()) return LeaveUnreadable(result, body);
    ++result.pictures;
    return ReadCountedText(in, w.At(), budget, body);
  }
  if (picture == 0 && classicLength != 0) {
    // The classic text follows directly; the next card's data starts after it.
    const TextWindow t = ReadWindow(in, start, classicLength, budget, body);
    return t.Whole() || (t.zero && !t.held);
  }
  const TextWindow t = ReadWindow(in, start, declared, budget, body);
  // Whole when the file held the text, or its zero byte, before it ended.
  return t.got == std::min<uint64_t>(t.window, size - start) && !t.held &&
         (t.zero || t.got == t.window);
}

CrdReadResult ParseCards(PositionedReader& in, std::vector<CardInfo>& cards) {
  cards.clear();
  uint8_t header[kRrgHeader];
  const std::size_t got = in.ReadAt(0, header, sizeof header);
  const auto is = [&](const char* signature) {
    return got >= kSignatureSize && std::memcmp(header, signature, kSignatureSize) == 0;
  };
  const bool rrg = is(kRrgSignature);
  if (is(kDkoSignature)) return Result(CrdStatus::Unicode);
  if (!rrg && !is(kCrdSignature)) return Result(CrdStatus::Incompatible);
  const std::size_t headerSize = rrg ? kRrgHeader : kCrdHeader;
  if (got < headerSize) return Result(CrdStatus::Damaged, "it ends before its card count");
  const int64_t count = rrg ? int64_t{LoadU16(header + 7)}
                            : int64_t{static_cast<int32_t>(LoadU32(header + kSignatureSize))};
  CrdReadResult result;
  result.signature = rrg ? kRrgSignature : kCrdSignature;
  result.announced = count;
  if (count <= 0) return result;

  // Only entries the file holds whole are looked at, whatever the count says.
  const uint64_t inFile = (in.Size() - headerSize) / kCrdEntry;
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
    const std::size_t bytes = in.ReadAt(headerSize + uint64_t{k} * kCrdEntry, entries.data(),
                                        batch * kCrdEntry);
    const std::size_t complete = bytes / kCrdEntry;
    for (std::size_t i = 0; i < complete; ++i) {
      const uint8_t* entry = entries.data() + i * kCrdEntry;
      const bool whole =
          rrg ? ReadRrgCard(in, LoadU32(entry + kRrgEntryPosition), budget, body, result)
              : ReadMgcCard(in, LoadU32(entry + kCrdEntryPosition), budget, body, result);
      cards.emplace_back(rrg ? FixedField(entry + kRrgEntryIndex, kRrgIndexField)
                             : FixedField(entry + kCrdEntryIndex, kCrdIndexField),
                         body, 1);
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
    } else if (result.unreadable == cards.size() - result.whole) {
      result.detail = "pictures or objects on some cards cannot be read";
    } else if (result.unreadable > 0) {
      result.detail = "some texts lie outside the file or are cut off, and pictures or objects on "
                      "some cards cannot be read";
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
                     (std::memcmp(signature, kCrdSignature, sizeof signature) == 0 ||
                      std::memcmp(signature, kRrgSignature, sizeof signature) == 0 ||
                      std::memcmp(signature, kDkoSignature, sizeof signature) == 0);
  ::close(fd);
  return match;
}

namespace {

// "3 pictures and 1 object were not imported (Tessel cards hold text only)",
// or empty when nothing was left behind.
std::string SkippedSentence(const CrdReadResult& result) {
  std::string what;
  if (result.pictures > 0) what = Counted(result.pictures, "picture", "pictures");
  if (result.objects > 0) {
    what += (what.empty() ? "" : " and ") + Counted(result.objects, "object", "objects");
  }
  if (what.empty()) return {};
  const bool one = result.pictures + result.objects == 1;
  return what + (one ? " was" : " were") + " not imported (Tessel cards hold text only)";
}

}  // namespace

std::string CrdMessage(const CrdReadResult& result, const std::string& path) {
  const std::string skipped = SkippedSentence(result);
  switch (result.status) {
    case CrdStatus::Ok:
      if (skipped.empty()) return {};
      return Counted(result.imported, "card", "cards") + " imported; " + skipped;
    case CrdStatus::Unicode:
      return "Unicode Cardfile files (DKO) cannot be imported yet";
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
  text += ".";
  if (!skipped.empty()) text += " " + skipped + ".";
  return text;
}

}  // namespace tessel
