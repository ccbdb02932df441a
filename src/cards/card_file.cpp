#include "cards/card_file.h"

#include <cerrno>
#include <cstring>
#include <new>

#include <unistd.h>

#include "cards/card_file_parts.h"

namespace tessel {

using card_file::Damaged;

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
        result = card_file::ReadFixedCards(in, version, out);
        break;
      case kVersionArchive:
        result = card_file::ReadArchiveCards(in, out);
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

ReadResult LoadCardFileData(const std::string& path, CardFileData& out,
                            std::optional<FileIdentity>* identity, FileOps& ops) {
  out = CardFileData{};
  if (identity) identity->reset();
  uint64_t size = 0;
  const int fd = OpenForReading(path, size);
  if (fd < 0) return {ReadStatus::OpenFailed, std::strerror(errno)};
  ByteReader in(fd, size);
  ReadResult result = ParseCardFile(in, out);
  // From the same descriptor: the file that was parsed, even if another
  // has been renamed over it meanwhile.
  if (FileIdentity read; identity && result.Ok() && IdentifyOpenFile(fd, read, ops)) *identity = read;
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

FileResult ReadCardFile(CardCollection& cards, FormatSettings& format, const std::string& path,
                        CardLoad load, std::optional<FileIdentity>* identity, FileOps& ops) {
  CardFileData data;
  const ReadResult result = LoadCardFileData(path, data, identity, ops);
  if (!result.Ok()) return {false, ReadErrorMessage(result, path), result.detail};
  if (!ApplyCardFileData(cards, format, std::move(data), load)) {
    const ReadResult full{ReadStatus::Damaged, "there is not enough memory to add its cards"};
    return {false, ReadErrorMessage(full, path), full.detail};
  }
  return {};
}

bool ApplyCardFileData(CardCollection& cards, FormatSettings& format, CardFileData&& data,
                       CardLoad load) {
  if (!cards.AddCards(std::move(data.cards))) return false;
  if (data.format) cards.SetFormat(format, *data.format);
  if (load == CardLoad::Open) cards.MarkUnchanged();
  return true;
}

}  // namespace tessel
