// The writer: the archive form (0xAAAC), into memory or atomically into a
// file.
#include "cards/backup.h"
#include "cards/card_file_parts.h"

namespace tessel {
namespace {

using card_file::kCardClass;
using card_file::kCardSchema;
using card_file::kClassTag;
using card_file::kNewClassTag;

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

void AppendCardFileBytes(std::vector<uint8_t>& out, const FormatSettings& format,
                         const std::vector<CardInfo>& cards) {
  auto append = [](void* context, const uint8_t* data, std::size_t n) {
    auto* v = static_cast<std::vector<uint8_t>*>(context);
    v->insert(v->end(), data, data + n);
    return true;
  };
  // The exact size, give or take a few bytes per card, so the bytes are
  // never moved; and a buffer no larger than the file: a few cards would
  // otherwise pay for clearing the writer's whole default buffer.
  std::size_t size = 64 + format.indexFace.size() + format.bodyFace.size();
  for (const CardInfo& card : cards) size += 32 + card.index.size() + card.body.size();
  out.reserve(out.size() + size);
  ByteWriter writer(append, &out, std::min<std::size_t>(size, 64 * 1024));
  SerializeCardFile(writer, format, cards);
}

std::vector<uint8_t> CardFileBytes(const FormatSettings& format,
                                   const std::vector<CardInfo>& cards) {
  std::vector<uint8_t> bytes;
  AppendCardFileBytes(bytes, format, cards);
  return bytes;
}

FileResult WriteCardFile(CardCollection& cards, const FormatSettings& format,
                         const std::string& path, FileOps& ops, BackupRequest* backup,
                         std::optional<FileIdentity>* written) {
  cards.ResortKeepingFront();
  AtomicFile file(ops);
  if (backup) file.SetBackup(&backup->policy);
  if (!file.Begin(path)) return {false, "File Error - \"" + path + "\"", file.Error()};
  // The bytes are hashed on their way out, so the program knows its own
  // save when it looks at the file again.
  struct Out {
    AtomicFile& file;
    ContentHash hash;
  } out{file, {}};
  const auto sink = [](void* context, const uint8_t* data, std::size_t n) {
    auto* o = static_cast<Out*>(context);
    o->hash.Add(data, n);
    return o->file.Write(data, n);
  };
  ByteWriter writer(sink, &out);
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
  cards.MarkUnchanged();
  if (backup) backup->error = file.BackupError();
  if (written) *written = IdentityOf(file.Committed(), out.hash.Value());
  return {};
}

}  // namespace tessel
