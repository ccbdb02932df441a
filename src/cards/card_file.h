// The card file (*.tsl): versions 0xAAAA and 0xAAAB are read, 0xAAAC is read
// and written. Reading parses the whole file before anything is added to the
// collection, so a damaged file changes nothing.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "cards/card_collection.h"
#include "cards/card_info.h"
#include "cards/file_identity.h"
#include "cards/file_io.h"
#include "cards/format_settings.h"

namespace tessel {

inline constexpr uint32_t kVersionFixed = 0xAAAA;       // fixed records, no tag flag
inline constexpr uint32_t kVersionFixedTagged = 0xAAAB; // fixed records with tag flag
inline constexpr uint32_t kVersionArchive = 0xAAAC;     // archive form with format settings

inline constexpr std::size_t kFixedIndexField = 42;
inline constexpr std::size_t kFixedBodyField = 512;

struct CardFileData {
  uint32_t version = 0;
  std::optional<FormatSettings> format;  // only version 0xAAAC has one
  std::vector<CardInfo> cards;            // in file order
};

enum class ReadStatus { Ok, OpenFailed, Incompatible, Damaged };

struct ReadResult {
  ReadStatus status = ReadStatus::Ok;
  std::string detail;  // what was wrong, for Damaged and OpenFailed
  bool Ok() const { return status == ReadStatus::Ok; }
};

// Parses a whole card file. On failure `out` holds no cards.
ReadResult ParseCardFile(ByteReader& in, CardFileData& out);
ReadResult ParseCardFile(std::span<const uint8_t> bytes, CardFileData& out);
// With `identity`, also what the file was (nullopt when its bytes could not
// be read again for the hash; the load itself still counts).
ReadResult LoadCardFileData(const std::string& path, CardFileData& out,
                            std::optional<FileIdentity>* identity = nullptr,
                            FileOps& ops = FileOps::System());

// The message the user sees for a failed read.
std::string ReadErrorMessage(const ReadResult& result, const std::string& path);

// Writes version 0xAAAC in collection order. False only if a text is too long
// for the format (over 4 GiB) or the writer's sink failed.
bool SerializeCardFile(ByteWriter& out, const FormatSettings& format,
                       const std::vector<CardInfo>& cards);
std::vector<uint8_t> CardFileBytes(const FormatSettings& format, const std::vector<CardInfo>& cards);
// The same bytes added to `out`, which grows once to the size they need.
void AppendCardFileBytes(std::vector<uint8_t>& out, const FormatSettings& format,
                         const std::vector<CardInfo>& cards);

// `detail` when `message` does not already hold it, otherwise nothing.
inline std::string ReasonBeyond(const std::string& message, const std::string& detail) {
  return message.find(detail) == std::string::npos ? detail : std::string();
}

// What reading or saving a card file came to. The card-file code shows
// nothing itself: the program puts `message` in a message box, the
// command-line tool on stderr.
struct FileResult {
  bool ok = true;
  std::string message;  // what the user is told when it failed
  std::string detail;   // the system's or the parser's reason, if any
  explicit operator bool() const { return ok; }
  // What to give beneath or after the message: the detail, unless the
  // message says it already.
  std::string Reason() const { return ReasonBeyond(message, detail); }
};

// Open reads a file into the document as it stands (emptied first, or the
// start-up load): the document then matches the file. Merge adds a file's
// cards to the open document, which they change.
enum class CardLoad { Open, Merge };

// Adds parsed cards to the collection, sorts and refreshes; format settings
// from the file replace `format`. An Open leaves the document unchanged; a
// Merge changes it when it added cards or a new look. False when there was
// not enough memory: the collection and `format` are then as they were.
[[nodiscard]] bool ApplyCardFileData(CardCollection& cards, FormatSettings& format,
                                     CardFileData&& data, CardLoad load = CardLoad::Open);

// The detail of a load refused for want of memory.
inline constexpr char kNoMemoryForCards[] = "there is not enough memory to hold its cards";

// Adds the file's cards to the collection (Open empties it first, Merge does
// not) as ApplyCardFileData does; a 0xAAAC file also replaces the format
// settings. With `identity`, gives what the file was when read. On failure it
// changes nothing.
FileResult ReadCardFile(CardCollection& cards, FormatSettings& format, const std::string& path,
                        CardLoad load = CardLoad::Open,
                        std::optional<FileIdentity>* identity = nullptr,
                        FileOps& ops = FileOps::System());

struct BackupRequest;

// Re-sorts keeping the front card, then saves atomically. On success clears
// the modified flag and, with `written`, gives what the file now is; on
// failure the old file stays as it was. With a backup request, the file
// replaced is kept as a backup first; a backup that fails does not stop the
// save and is told in the request.
FileResult WriteCardFile(CardCollection& cards, const FormatSettings& format,
                         const std::string& path, FileOps& ops = FileOps::System(),
                         BackupRequest* backup = nullptr,
                         std::optional<FileIdentity>* written = nullptr);

}  // namespace tessel
