// Mail through the desktop's mail program: what is handed to xdg-email, the
// attachment's name and its private folder, and the messages for each result.
// The hand-over itself (starting the process) lives in services/ui.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "cards/card_info.h"

namespace tessel {

// The subject and the text of a card mail keep at most this many characters.
inline constexpr std::size_t kMailSubjectLimit = 31;
inline constexpr std::size_t kMailBodyLimit = 511;

// One message for the mail program: subject and text (UTF-8), or one attachment.
struct MailRequest {
  std::string subject;
  std::string body;
  std::string attachment;  // full path; empty for a text mail
};

// The front card as a mail: its index text as the subject and its body as
// the text, both Windows-1252, cut to their limits and converted to UTF-8.
MailRequest CardMailRequest(std::string_view index, std::string_view body);

// A mail carrying the file at `path` as its only attachment.
MailRequest AttachmentMailRequest(std::string path);

// The arguments for xdg-email (the program name not included); an empty
// subject or text is left out, as xdg-email refuses empty ones.
std::vector<std::string> XdgEmailArguments(const MailRequest& request);

inline constexpr char kXdgEmail[] = "xdg-email";

// The attachment's file name: the last part of the document's path plus
// ".txt" ("cards.tsl" gives "cards.tsl.txt"), "Untitled.txt" when untitled.
std::string AttachmentName(std::string_view currentPath);

// What Mail List and Mail Tagged attach: every index text, or the tagged
// cards laid out in full. UTF-8 with CR LF line ends.
enum class MailAttachment { List, Tagged };
std::string AttachmentBytes(const std::vector<CardInfo>& cards, MailAttachment kind);

// How a hand-over ended.
enum class MailResult {
  Sent,          // xdg-email took the message
  StartFailed,   // xdg-email could not be started
  SendFailed,    // it ran and reported a failure
  FileError,     // the attachment could not be written; nothing was handed over
};

// xdg-email's outcome. It has no status for a user who cancels: it returns
// as soon as the mail program has the message, before the user sends or
// discards it, so every failure it reports is a real one.
MailResult XdgEmailResult(bool crashed, int exitCode);

// The message for a result, or nullptr for a silent one. "File Error" goes in
// the card-file error box ("Tessel Error...", stop icon), the others in the
// application's standard box.
const char* MailResultText(MailResult result);

// A folder only this user can enter (mode 0700), made on first use under the
// system's temporary folder and removed with everything in it when the
// object goes, at the end of the program. The mail program reads an
// attachment after xdg-email has returned, so the files must outlive the
// hand-over; they go when the program ends. Its name, "tessel-PID-XXXXXX",
// carries the program's process id, so that the folders of a program that
// was killed can be told apart and removed by the next one.
class PrivateTempFolder {
 public:
  // `parent`: where to make the folder; empty for the system's temporary folder.
  explicit PrivateTempFolder(std::string parent = {}) : parent_(std::move(parent)) {}
  ~PrivateTempFolder();
  PrivateTempFolder(const PrivateTempFolder&) = delete;
  PrivateTempFolder& operator=(const PrivateTempFolder&) = delete;

  // Makes the folder if it is not there yet. False with `error` set when it
  // cannot be made.
  bool Ensure(std::string& error);
  // Empty until Ensure succeeded.
  const std::string& Path() const { return path_; }

  // Writes `bytes` as a new file `name` in a fresh subfolder of its own, so
  // that a second mail of the same list while the mail program still reads
  // the first never meets the old file. The full path, or empty with `error`.
  std::string WriteAttachment(const std::string& name, std::string_view bytes,
                              std::string& error);

 private:
  std::string parent_;
  std::string path_;
};

// Removes the private folders in `parent` (empty: the system's temporary
// folder) that this user's programs made and whose process no longer runs;
// nothing else. The number removed.
int RemoveAbandonedTempFolders(std::string parent = {});

// Creates `path` and writes `bytes` to it, only if nothing of that name
// exists: an existing file or link is never followed or overwritten. The
// file is readable by its owner only. False with `error` set; a file that
// was created but not completely written is removed.
bool CreateExclusiveFile(const std::string& path, std::string_view bytes, std::string& error);

}  // namespace tessel
