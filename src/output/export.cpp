#include "output/export.h"

#include <string_view>

#include "cards/codepage.h"
#include "output/card_text.h"
#include "output/vcard_writer.h"

namespace tessel {
namespace {

void AppendCsvField(std::string& out, std::string_view utf8) {
  if (utf8.find_first_of(",\"\r\n") == std::string_view::npos) {
    out += utf8;
    return;
  }
  out += '"';
  for (const char c : utf8) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
}

}  // namespace

std::string ExportTextBytes(const std::vector<CardInfo>& cards) {
  return ToTextFile(CardsText(cards, /*taggedOnly=*/false));
}

std::string ExportCsvBytes(const std::vector<CardInfo>& cards) {
  std::string out = "Index,Body,Tagged\r\n";
  for (const CardInfo& card : cards) {
    AppendCsvField(out, Cp1252ToUtf8(UpToNul(card.index)));
    out += ',';
    AppendCsvField(out, Cp1252ToUtf8(UpToNul(card.body)));
    out += card.tag != 0 ? ",1\r\n" : ",0\r\n";
  }
  return out;
}

std::string ExportBytes(ExportKind kind, const std::vector<CardInfo>& cards) {
  switch (kind) {
    case ExportKind::Text:
      return ExportTextBytes(cards);
    case ExportKind::Csv:
      return ExportCsvBytes(cards);
    case ExportKind::Vcard:
      return VcardBytes(cards);
  }
  return {};
}

std::vector<CardInfo> TaggedCards(const std::vector<CardInfo>& cards) {
  std::vector<CardInfo> tagged;
  for (const CardInfo& card : cards) {
    if (card.tag != 0) tagged.push_back(card);
  }
  return tagged;
}

FileResult ExportCards(ExportKind kind, const std::vector<CardInfo>& cards, const std::string& path,
                       FileOps& ops) {
  const std::string bytes = ExportBytes(kind, cards);
  AtomicFile file(ops);
  if (file.Begin(path) &&
      file.Write(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()) && file.Commit()) {
    return {};
  }
  const std::string why = file.Error().empty() ? "write failed" : file.Error();
  file.Abort();
  return {false, "File Error - \"" + path + "\" could not be written (" + why + ").", why};
}

}  // namespace tessel
