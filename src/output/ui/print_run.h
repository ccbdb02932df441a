// The print commands' dialogs: the print dialog, reduced to the choice of a
// printer (or a PDF file) and the copies, and the progress dialog whose
// Cancel stops a running job while the window goes on repainting.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "cards/card_info.h"
#include "cards/format_settings.h"
#include "services/ui/printer_pages.h"

class QPrintDialog;
class QPrinter;
class QString;
class QWidget;

namespace tessel {

// No page range, no current page, no selection (not even shown); copies
// with collation; and Qt's "Print to File (PDF)", one copy.
void LimitPrintDialog(QPrintDialog& dialog);

// The printer a job goes to after the dialog: the chosen printer by name,
// so its own defaults for paper apply, with the copies and collation the
// dialog set; or, when the dialog's printer writes a PDF file, that file.
// Null when there is no printer to use.
std::unique_ptr<QPrinter> PrinterForJob(const QPrinter& chosen);

// Prints with a window-modal progress dialog (shown once the job takes a
// moment) that counts the pages and whose Cancel stops the job. A failure's
// sentence goes to `error`.
PrintOutcome PrintWithProgress(QWidget* parent, QPrinter& printer, PrintKind kind,
                               const std::vector<CardInfo>& cards, const std::string& path,
                               const FormatSettings& format, QString* error = nullptr);

// What the user is told when a run was cancelled.
inline constexpr char kNothingPrinted[] = "Printing cancelled: nothing was printed.";

}  // namespace tessel
