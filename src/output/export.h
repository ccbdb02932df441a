// File > Export: the cards, in collection order, as a text file, as
// comma-separated values for spreadsheets and databases, or as vCards for
// address books. All are UTF-8 with CR LF line ends; the card file and its
// modified flag are left alone.
#pragma once

#include <string>
#include <vector>

#include "cards/card_file.h"
#include "cards/card_info.h"
#include "cards/file_io.h"
#include "cards/settings_store.h"

namespace tessel {

enum class ExportKind { Text, Csv, Vcard };

// The cards as the tagged-cards text lays them out, every card included.
std::string ExportTextBytes(const std::vector<CardInfo>& cards);

// What spreadsheets in other countries need: a semicolon or a tab where a
// comma is a decimal mark, and a byte-order mark so they read UTF-8.
struct CsvExportOptions {
  char separator = ',';  // ',', ';' or '\t'
  bool bom = false;
};

// The choices of the last CSV export, kept between runs.
inline constexpr char kCsvSeparatorSetting[] = "CSV Separator";  // the character's code
inline constexpr char kCsvBomSetting[] = "CSV Byte Order Mark";  // 0 or 1
// The remembered choices; the defaults where none or a wrong one is stored.
CsvExportOptions CsvExportOptionsFrom(const SettingsStore& settings);
void RememberCsvExportOptions(SettingsStore& settings, const CsvExportOptions& options);

// RFC 4180: the header row "Index,Body,Tagged", then one row per card; a
// field holding the separator, a quote, CR or LF is quoted with its quotes
// doubled, so a body keeps its line breaks; Tagged is 1 or 0.
std::string ExportCsvBytes(const std::vector<CardInfo>& cards, const CsvExportOptions& options = {});

// The file's bytes for `kind` (vCard: see vcard_writer.h).
std::string ExportBytes(ExportKind kind, const std::vector<CardInfo>& cards,
                        const CsvExportOptions& csv = {});

// The tagged cards, in collection order.
std::vector<CardInfo> TaggedCards(const std::vector<CardInfo>& cards);

// Writes the export atomically. A failure's message names the file and the
// reason; a file that was there before stays as it was.
FileResult ExportCards(ExportKind kind, const std::vector<CardInfo>& cards, const std::string& path,
                       const CsvExportOptions& csv = {}, FileOps& ops = FileOps::System());

}  // namespace tessel
