#include "cards/card_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <condition_variable>
#include <mutex>
#include <new>
#include <cstring>
#include <system_error>
#include <thread>

#include <unistd.h>

#include "cards/codepage.h"

namespace tessel {
namespace {

constexpr uint16_t kNewClassTag = 0xFFFF;
constexpr uint16_t kBigObjectTag = 0x7FFF;
constexpr uint16_t kClassTag = 0x8000;
constexpr uint32_t kBigClassTag = 0x80000000u;
constexpr uint16_t kCardSchema = 1;
constexpr char kCardClass[] = "CardInfo";
constexpr uint16_t kWideMarker = 0xFFFE;
// Tag, lead word, two empty strings and the tag flag: no card object is
// smaller, so a count the rest of the file cannot hold is refused at once.
constexpr uint64_t kMinCardObject = 2 + 4 + 1 + 1 + 4;
// The most room reserved for a claimed card count, as a multiple of the
// bytes left in the file.
constexpr uint64_t kMaxReserveRatio = 2;
// Longest class name the archive form allows.
constexpr uint16_t kMaxClassName = 64;

ReadResult Damaged(std::string detail) { return {ReadStatus::Damaged, std::move(detail)}; }
// Names card i (from 0) in a message; built only when something is wrong.
std::string Card(uint64_t i) { return "card " + std::to_string(i + 1); }
std::string Ended(uint64_t i) { return "it ends in the middle of " + Card(i); }

// Reads a length prefix; `wide` tells whether UTF-16 units follow.
bool ReadLength(ByteReader& in, uint64_t& length, bool& wide) {
  wide = false;
  uint8_t b;
  if (!in.U8(b)) return false;
  if (b < 0xFF) {
    length = b;
    return true;
  }
  uint16_t w;
  if (!in.U16(w)) return false;
  if (w == kWideMarker) {
    wide = true;
    if (!in.U8(b)) return false;
    if (b < 0xFF) {
      length = b;
      return true;
    }
    if (!in.U16(w)) return false;
  }
  if (w < 0xFFFF) {
    length = w;
    return true;
  }
  uint32_t d;
  if (!in.U32(d)) return false;
  length = d;
  return true;
}

// `length` UTF-16 units, converted to the card texts' code page.
bool ReadWide(ByteReader& in, uint64_t length, std::string& out) {
  if (length > in.Remaining() / 2) return in.Refuse();
  std::vector<char16_t> units(static_cast<std::size_t>(length));
  for (char16_t& u : units) {
    uint16_t v;
    if (!in.U16(v)) return false;
    u = v;
  }
  out = Utf16ToCp1252(units.data(), units.size());
  return true;
}

bool ReadText(ByteReader& in, std::string& out) {
  uint64_t length;
  bool wide;
  if (!ReadLength(in, length, wide)) return false;
  return wide ? ReadWide(in, length, out) : in.String(out, length);
}

bool ReadI32(ByteReader& in, int32_t& v) {
  uint32_t u;
  if (!in.U32(u)) return false;
  v = static_cast<int32_t>(u);
  return true;
}

ReadResult ParseFixed(ByteReader& in, uint32_t version, CardFileData& out) {
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

ReadResult ParseFormat(ByteReader& in, FormatSettings& f) {
  uint32_t colours[4];
  if (!ReadText(in, f.indexFace) || !ReadI32(in, f.indexSize) || !ReadText(in, f.bodyFace) ||
      !ReadI32(in, f.bodySize) || !in.U32(colours[0]) || !in.U32(colours[1]) ||
      !in.U32(colours[2]) || !in.U32(colours[3])) {
    return Damaged("it ends inside its format settings");
  }
  f.indexBackground = colours[0];
  f.bodyBackground = colours[1];
  f.indexText = colours[2];
  f.bodyText = colours[3];
  return {};
}

// Copies card texts into their records on a second thread while this one
// reads on: fresh memory for a million texts is the slowest part of a large
// load. The file is read straight into a few recycled blocks, and a text
// that lies whole in one is handed on as its place there, not copied. A
// card's record is in the collection before any of its texts is read, so the
// second thread only ever fills records that exist.
class TextFiller {
 public:
  static constexpr std::size_t kBlockBytes = 1 << 20;
  static constexpr std::size_t kBlocks = 4;

  explicit TextFiller(ByteReader& in) : in_(in) {
    // Room for every block in both lists now: handing one on then never
    // allocates, so the filler can stop while memory is short.
    free_.reserve(kBlocks);
    full_.reserve(kBlocks);
    for (Block& b : blocks_) {
      b.bytes.resize(kBlockBytes);
      free_.push_back(&b);
    }
    spare_.resize(kBlockBytes);
    try {
      worker_ = std::thread(&TextFiller::Work, this);
    } catch (const std::system_error&) {
      return;  // no thread to be had: the caller reads the texts itself
    }
    in_.SetBufferSource(&TextFiller::NextBuffer, this);
  }
  ~TextFiller() { Stop(); }

  bool Active() const { return worker_.joinable(); }
  // After Stop: a text the other thread had no memory for.
  bool OutOfMemory() const { return outOfMemory_; }

  // Reads an n-byte text into `text`, a member of a record already in the
  // collection; false when the input ends first. A text that does not lie
  // whole in a block, or comes while the other thread is behind (the file
  // is then read into a spare buffer), is read here at once, so that
  // neither thread waits for the other.
  bool Read(std::size_t n, std::string& text) {
    const std::span<const uint8_t> ready = in_.Unconsumed();
    if (!current_ || ready.size() < n) return in_.String(text, n);
    const auto offset = static_cast<std::size_t>(ready.data() - current_->bytes.data());
    current_->items.push_back({&text, offset, n});
    return in_.Skip(n);
  }

  // Hands the last texts on and waits until every text is in its record.
  void Stop() {
    if (!Active()) return;
    in_.SetBufferSource(nullptr, nullptr);  // unconsumed bytes are read again later
    if (current_) Release(current_);
    current_ = nullptr;
    {
      std::lock_guard lock(mutex_);
      done_ = true;
    }
    changed_.notify_all();
    worker_.join();
  }

 private:
  struct Item {
    std::string* text;
    std::size_t offset, length;
  };
  struct Block {
    std::vector<uint8_t> bytes;
    std::vector<Item> items;
  };

  static std::span<uint8_t> NextBuffer(void* self, std::span<uint8_t> /*usedUp*/) {
    return static_cast<TextFiller*>(self)->Next();
  }

  // The reader has used up its block: on to the other thread with it, and
  // a free one to read into, or the spare buffer when none is free.
  std::span<uint8_t> Next() {
    if (current_) Release(current_);
    std::lock_guard lock(mutex_);
    current_ = nullptr;
    if (!free_.empty()) {
      current_ = free_.back();
      free_.pop_back();
    }
    return current_ ? std::span<uint8_t>(current_->bytes) : std::span<uint8_t>(spare_);
  }

  // A used-up block goes to the other thread, or straight back when no
  // text was taken from it.
  void Release(Block* b) {
    {
      std::lock_guard lock(mutex_);
      if (b->items.empty()) {
        free_.push_back(b);
        return;
      }
      full_.push_back(b);
    }
    changed_.notify_all();
  }

  void Work() {
    while (true) {
      Block* b;
      {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return !full_.empty() || done_; });
        if (full_.empty()) return;
        b = full_.back();  // texts are independent: any order will do
        full_.pop_back();
      }
      const auto* bytes = reinterpret_cast<const char*>(b->bytes.data());
      try {
        if (!outOfMemory_) {
          for (const Item& item : b->items) item.text->assign(bytes + item.offset, item.length);
        }
      } catch (const std::bad_alloc&) {
        outOfMemory_ = true;  // the load fails whole; the blocks still go round
      }
      b->items.clear();
      {
        std::lock_guard lock(mutex_);
        free_.push_back(b);
      }
    }
  }

  ByteReader& in_;
  Block blocks_[kBlocks];
  std::vector<uint8_t> spare_;
  Block* current_ = nullptr;  // the block the reader reads from, if any
  std::vector<Block*> free_;
  std::vector<Block*> full_;
  bool done_ = false;
  bool outOfMemory_ = false;  // the other thread's, read after it has ended
  std::mutex mutex_;
  std::condition_variable changed_;
  std::thread worker_;
};

// Reads a text for the filler: narrow texts go aside, wide ones (which need
// converting) are read here.
bool ReadTextAside(ByteReader& in, TextFiller& filler, std::string& text) {
  uint64_t length;
  bool wide;
  if (!ReadLength(in, length, wide)) return false;
  if (wide) return ReadWide(in, length, text);
  if (length > in.Remaining()) return in.Refuse();
  return filler.Read(static_cast<std::size_t>(length), text);
}

// Below this many cards a second thread costs more than it saves.
constexpr uint64_t kFillTextsAside = 20000;

ReadResult ParseArchive(ByteReader& in, CardFileData& out) {
  FormatSettings format;
  if (ReadResult r = ParseFormat(in, format); !r.Ok()) return r;
  out.format = format;

  uint16_t shortCount;
  uint64_t count;
  if (!in.U16(shortCount)) return Damaged("it ends before its card count");
  count = shortCount;
  if (shortCount == 0xFFFF) {
    uint32_t longCount;
    if (!in.U32(longCount)) return Damaged("it ends before its card count");
    count = longCount;
  }
  if (count > in.Remaining() / kMinCardObject) {
    return Damaged("it announces " + std::to_string(count) + " cards, more than it can hold");
  }
  // Room for every card up front: the text filler writes into cards that
  // are already in the vector, so it must never move them. A claimed count
  // is only trusted that far while the room stays within twice the rest of
  // the file; beyond it (a file of tiny or missing cards) the collection
  // grows with the cards actually read, and texts are read here.
  const uint64_t affordable = in.Remaining() * kMaxReserveRatio / sizeof(CardInfo);
  const bool trusted = count <= affordable;
  out.cards.reserve(static_cast<std::size_t>(trusted ? count : affordable));
  std::optional<TextFiller> filler;
  if (trusted && count >= kFillTextsAside) filler.emplace(in);
  if (filler && !filler->Active()) filler.reset();

  // Classes and objects share one numbering that starts at 1. Class numbers
  // only grow, so a sorted list serves for lookups.
  std::vector<uint64_t> classes;
  uint64_t next = 1;
  for (uint64_t i = 0; i < count; ++i) {
    uint16_t tag;
    if (!in.U16(tag)) return Damaged(Ended(i));
    if (tag == kNewClassTag) {
      uint16_t schema, nameLength;
      if (!in.U16(schema) || !in.U16(nameLength)) return Damaged(Ended(i));
      if (nameLength > kMaxClassName) return Damaged(Card(i) + " has a bad class name");
      std::string name;
      if (!in.String(name, nameLength)) return Damaged(Ended(i));
      if (name != kCardClass) {
        return Damaged(Card(i) + " is of an unknown kind \"" +
                       Cp1252ToUtf8(name).substr(0, kMaxClassName) + "\"");
      }
      if (schema != kCardSchema) {
        return Damaged(Card(i) + " has an unknown layout number " + std::to_string(schema));
      }
      classes.push_back(next++);
    } else {
      uint32_t reference = (static_cast<uint32_t>(tag & kClassTag) << 16) | (tag & 0x7FFFu);
      if (tag == kBigObjectTag && !in.U32(reference)) return Damaged(Ended(i));
      if (reference == 0) return Damaged(Card(i) + " is missing");
      if (!(reference & kBigClassTag)) {
        return Damaged(Card(i) + " refers to an earlier object instead of holding a card");
      }
      const uint64_t classNumber = reference & ~kBigClassTag;
      if (!std::binary_search(classes.begin(), classes.end(), classNumber)) {
        return Damaged(Card(i) + " names a kind the file never introduced");
      }
    }
    ++next;  // the card object's own number

    if (!in.Skip(4)) return Damaged(Ended(i));
    // The record first: from here on the filler may fill in its texts.
    CardInfo& card = out.cards.emplace_back();
    const bool texts = filler ? ReadTextAside(in, *filler, card.index) &&
                                    ReadTextAside(in, *filler, card.body)
                              : ReadText(in, card.index) && ReadText(in, card.body);
    if (!texts || !ReadI32(in, card.tag)) return Damaged(Ended(i));
  }
  if (filler) {
    filler->Stop();
    if (filler->OutOfMemory()) throw std::bad_alloc();  // reported as for this thread
  }
  return {};
}

void WriteText(ByteWriter& out, const std::string& text) {
  const std::size_t n = text.size();
  if (n < 0xFF) {
    out.U8(static_cast<uint8_t>(n));
  } else if (n < 0xFFFE) {
    out.U8(0xFF);
    out.U16(static_cast<uint16_t>(n));
  } else {
    out.U8(0xFF);
    out.U16(0xFFFF);
    out.U32(static_cast<uint32_t>(n));
  }
  out.Bytes(text.data(), n);
}

constexpr uint64_t kMaxText = 0xFFFFFFFEu;

}  // namespace

ReadResult ParseCardFile(ByteReader& in, CardFileData& out) {
  out = CardFileData{};
  uint32_t version;
  if (!in.U32(version)) return {ReadStatus::Incompatible, "too short"};
  out.version = version;
  ReadResult result;
  try {
    switch (version) {
      case kVersionFixed:
      case kVersionFixedTagged:
        result = ParseFixed(in, version, out);
        break;
      case kVersionArchive:
        result = ParseArchive(in, out);
        break;
      default:
        result = {ReadStatus::Incompatible, {}};
    }
  } catch (const std::bad_alloc&) {
    // A file too large for this machine's memory is refused like a damaged
    // one: whole, with nothing loaded. What was read goes first: the
    // message needs memory too.
    std::vector<CardInfo>().swap(out.cards);
    result = Damaged(kNoMemoryForCards);
  }
  if (!result.Ok()) {
    out.cards.clear();
    out.cards.shrink_to_fit();
    out.format.reset();
  }
  return result;
}

ReadResult ParseCardFile(std::span<const uint8_t> bytes, CardFileData& out) {
  ByteReader in(bytes);
  return ParseCardFile(in, out);
}

ReadResult LoadCardFileData(const std::string& path, CardFileData& out) {
  out = CardFileData{};
  uint64_t size = 0;
  const int fd = OpenForReading(path, size);
  if (fd < 0) return {ReadStatus::OpenFailed, std::strerror(errno)};
  ByteReader in(fd, size);
  ReadResult result = ParseCardFile(in, out);
  ::close(fd);
  return result;
}

std::string ReadErrorMessage(const ReadResult& result, const std::string& path) {
  switch (result.status) {
    case ReadStatus::OpenFailed:
      return "There was an error opening file \"" + path + "\"";
    case ReadStatus::Incompatible:
      return "File Error - Incompable File";
    case ReadStatus::Damaged:
      return "File Error - \"" + path + "\" is damaged or incomplete: " + result.detail +
             ". Nothing was loaded from it.";
    case ReadStatus::Ok:
      break;
  }
  return {};
}

bool SerializeCardFile(ByteWriter& out, const FormatSettings& format,
                       const std::vector<CardInfo>& cards) {
  for (const CardInfo& card : cards) {
    if (card.index.size() > kMaxText || card.body.size() > kMaxText) return false;
  }
  if (format.indexFace.size() > kMaxText || format.bodyFace.size() > kMaxText) return false;

  out.U32(kVersionArchive);
  WriteText(out, format.indexFace);
  out.U32(static_cast<uint32_t>(format.indexSize));
  WriteText(out, format.bodyFace);
  out.U32(static_cast<uint32_t>(format.bodySize));
  out.U32(format.indexBackground);
  out.U32(format.bodyBackground);
  out.U32(format.indexText);
  out.U32(format.bodyText);

  if (cards.size() < 0xFFFF) {
    out.U16(static_cast<uint16_t>(cards.size()));
  } else {
    out.U16(0xFFFF);
    out.U32(static_cast<uint32_t>(cards.size()));
  }
  bool first = true;
  for (std::size_t i = 0; i < cards.size(); ++i) {
    const CardInfo& card = cards[i];
    // After a sort the texts lie scattered over the heap; fetch ahead.
    if (i + kPrefetchAhead < cards.size()) PrefetchTexts(cards[i + kPrefetchAhead]);
    if (first) {
      out.U16(kNewClassTag);
      out.U16(kCardSchema);
      out.U16(sizeof kCardClass - 1);
      out.Bytes(kCardClass, sizeof kCardClass - 1);
      first = false;
    } else {
      out.U16(kClassTag | 1);
    }
    out.U32(1);  // lead word
    WriteText(out, card.index);
    WriteText(out, card.body);
    out.U32(static_cast<uint32_t>(card.tag));
  }
  return out.Flush();
}

std::vector<uint8_t> CardFileBytes(const FormatSettings& format,
                                   const std::vector<CardInfo>& cards) {
  std::vector<uint8_t> bytes;
  auto append = [](void* context, const uint8_t* data, std::size_t n) {
    auto* v = static_cast<std::vector<uint8_t>*>(context);
    v->insert(v->end(), data, data + n);
    return true;
  };
  // A buffer no larger than the file: a few cards would otherwise pay for
  // clearing the writer's whole default buffer.
  std::size_t size = 64;
  for (const CardInfo& card : cards) size += 16 + card.index.size() + card.body.size();
  ByteWriter writer(append, &bytes, std::min<std::size_t>(size, 64 * 1024));
  SerializeCardFile(writer, format, cards);
  return bytes;
}

FileResult ReadCardFile(CardCollection& cards, FormatSettings& format, const std::string& path) {
  CardFileData data;
  const ReadResult result = LoadCardFileData(path, data);
  if (!result.Ok()) return {false, ReadErrorMessage(result, path), result.detail};
  if (!ApplyCardFileData(cards, format, std::move(data))) {
    const ReadResult full{ReadStatus::Damaged, "there is not enough memory to add its cards"};
    return {false, ReadErrorMessage(full, path), full.detail};
  }
  return {};
}

bool ApplyCardFileData(CardCollection& cards, FormatSettings& format, CardFileData&& data) {
  const std::size_t before = cards.Size();
  try {
    cards.AppendCards(std::move(data.cards));
    cards.SortCards();
  } catch (const std::bad_alloc&) {
    // Growing the collection either succeeds or leaves it as it was, and the
    // sort takes all its room before it moves a card: taking the new cards
    // off the end undoes the rest.
    while (cards.Size() > before) cards.RemoveLastCard();
    std::vector<CardInfo>().swap(data.cards);
    return false;
  }
  if (data.format) format = *data.format;
  cards.RefreshStack();
  cards.SetModified(false);
  return true;
}

FileResult WriteCardFile(CardCollection& cards, const FormatSettings& format,
                         const std::string& path, FileOps& ops) {
  cards.ResortKeepingFront();
  AtomicFile file(ops);
  if (!file.Begin(path)) return {false, "File Error - \"" + path + "\"", file.Error()};
  ByteWriter writer(&AtomicFile::SinkFor, &file);
  const bool serialized = SerializeCardFile(writer, format, cards.Cards());
  if (!serialized || !file.Commit()) {
    const std::string why = !file.Error().empty() ? file.Error() : "a card text is too long";
    const bool touched = file.InPlace() && file.Written() > 0;
    file.Abort();
    return {false,
            "File Error - \"" + path + "\" could not be saved (" + why + "). " +
                (touched ? "It was being written in place (its folder takes no new files) and "
                           "may be incomplete: save it again or under another name."
                         : "The file on disk is unchanged."),
            why};
  }
  cards.SetModified(false);
  return {};
}

}  // namespace tessel
