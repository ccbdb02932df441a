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

namespace tessel {

enum class ExportKind { Text, Csv, Vcard };

// The cards as the tagged-cards text lays them out, every card included.
std::string ExportTextBytes(const std::vector<CardInfo>& cards);

// RFC 4180: the header row "Index,Body,Tagged", then one row per card; a
// field holding a comma, a quote, CR or LF is quoted with its quotes
// doubled, so a body keeps its line breaks; Tagged is 1 or 0.
std::string ExportCsvBytes(const std::vector<CardInfo>& cards);

// The file's bytes for `kind` (vCard: see vcard_writer.h).
std::string ExportBytes(ExportKind kind, const std::vector<CardInfo>& cards);

// The tagged cards, in collection order.
std::vector<CardInfo> TaggedCards(const std::vector<CardInfo>& cards);

// Writes the export atomically. A failure's message names the file and the
// reason; a file that was there before stays as it was.
FileResult ExportCards(ExportKind kind, const std::vector<CardInfo>& cards, const std::string& path,
                       FileOps& ops = FileOps::System());

}  // namespace tessel
