#include "services/mail.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "cards/codepage.h"
#include "output/card_text.h"

namespace tessel {

namespace {

// The text up to its first NUL and at most `limit` bytes. Windows-1252 has
// one byte per character, so no character is ever split.
std::string_view Cut(std::string_view text, std::size_t limit) {
  return UpToNul(text).substr(0, limit);
}

std::string ErrnoText(const std::string& what) { return what + ": " + std::strerror(errno); }

// xdg-email writes every line end of a text as CR LF itself; the CR of a
// card's CR LF would reach the mail program as a second one.
std::string WithLfLineEnds(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    out += text[i];
  }
  return out;
}

constexpr char kTempPrefix[] = "tessel-";

std::string TempParent(const std::string& parent) {
  if (!parent.empty()) return parent;
  std::error_code ec;
  const std::string system = std::filesystem::temp_directory_path(ec).string();
  return ec ? "/tmp" : system;
}

// The process id in a name "tessel-PID-XXXXXX", or 0 when it is not one.
pid_t FolderPid(std::string_view name) {
  if (!name.starts_with(kTempPrefix)) return 0;
  name.remove_prefix(sizeof kTempPrefix - 1);
  const std::size_t dash = name.find('-');
  if (dash == 0 || dash > 9 || dash == std::string_view::npos || name.size() - dash - 1 != 6) return 0;
  pid_t pid = 0;
  for (const char c : name.substr(0, dash)) {
    if (c < '0' || c > '9') return 0;
    pid = pid * 10 + (c - '0');
  }
  return pid;
}

}  // namespace

MailRequest CardMailRequest(std::string_view index, std::string_view body) {
  MailRequest request;
  request.subject = Cp1252ToUtf8(Cut(index, kMailSubjectLimit));
  request.body = Cp1252ToUtf8(Cut(body, kMailBodyLimit));
  return request;
}

MailRequest AttachmentMailRequest(std::string path) {
  MailRequest request;
  request.attachment = std::move(path);
  return request;
}

std::vector<std::string> XdgEmailArguments(const MailRequest& request) {
  // --utf8 first: without it xdg-email reads the texts in the locale's encoding.
  std::vector<std::string> args{"--utf8"};
  if (!request.attachment.empty()) {
    args.insert(args.end(), {"--attach", request.attachment});
  } else {
    // xdg-email refuses an option with an empty text, and a new card has
    // an empty body: an empty part is left out instead.
    if (!request.subject.empty()) args.insert(args.end(), {"--subject", request.subject});
    if (!request.body.empty()) args.insert(args.end(), {"--body", WithLfLineEnds(request.body)});
  }
  return args;
}

std::string AttachmentName(std::string_view currentPath) {
  if (currentPath.empty()) return "Untitled.txt";
  const std::size_t slash = currentPath.rfind('/');
  const std::string_view name =
      slash == std::string_view::npos ? currentPath : currentPath.substr(slash + 1);
  return std::string(name) + ".txt";
}

std::string AttachmentBytes(const std::vector<CardInfo>& cards, MailAttachment kind) {
  return ToTextFile(kind == MailAttachment::List ? IndexListText(cards)
                                                 : CardsText(cards, /*taggedOnly=*/true));
}

MailResult XdgEmailResult(bool crashed, int exitCode) {
  return !crashed && exitCode == 0 ? MailResult::Sent : MailResult::SendFailed;
}

const char* MailResultText(MailResult result) {
  switch (result) {
    case MailResult::Sent:
      return nullptr;
    case MailResult::StartFailed:
      return "Load Fail\nThere may be a problem with the mail program (xdg-email)";
    case MailResult::SendFailed:
      return "Failed To Send\nPlease verify your email setup";
    case MailResult::FileError:
      return "File Error";
  }
  return nullptr;
}

PrivateTempFolder::~PrivateTempFolder() {
  if (path_.empty()) return;
  std::error_code ignored;
  // remove_all deletes links themselves, never what they point to.
  std::filesystem::remove_all(path_, ignored);
}

bool PrivateTempFolder::Ensure(std::string& error) {
  if (!path_.empty()) return true;
  const std::string parent = TempParent(parent_);
  // mkdtemp makes the folder with mode 0700 under a name nobody can guess.
  std::string pattern = parent + "/" + kTempPrefix + std::to_string(getpid()) + "-XXXXXX";
  if (!mkdtemp(pattern.data())) {
    error = ErrnoText(parent);
    return false;
  }
  path_ = pattern;
  return true;
}

int RemoveAbandonedTempFolders(std::string parent) {
  parent = TempParent(parent);
  std::vector<std::filesystem::path> abandoned;
  std::error_code ec;
  for (std::filesystem::directory_iterator it(parent, ec), end; !ec && it != end; it.increment(ec)) {
    const std::filesystem::path& path = it->path();
    const pid_t pid = FolderPid(path.filename().string());
    struct stat st {};
    // Only a real folder (not a link to one) of this user, whose process is gone.
    if (pid <= 0 || pid == getpid() || lstat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) ||
        st.st_uid != getuid() || kill(pid, 0) == 0 || errno != ESRCH) {
      continue;
    }
    abandoned.push_back(path);
  }
  int removed = 0;
  for (const auto& path : abandoned) {
    std::error_code ignored;
    if (std::filesystem::remove_all(path, ignored) > 0) ++removed;
  }
  return removed;
}

std::string PrivateTempFolder::WriteAttachment(const std::string& name, std::string_view bytes,
                                               std::string& error) {
  if (!Ensure(error)) return {};
  std::string folder = path_ + "/mail-XXXXXX";
  if (!mkdtemp(folder.data())) {
    error = ErrnoText(path_);
    return {};
  }
  const std::string path = folder + "/" + name;
  if (!CreateExclusiveFile(path, bytes, error)) {
    rmdir(folder.c_str());
    return {};
  }
  return path;
}

bool CreateExclusiveFile(const std::string& path, std::string_view bytes, std::string& error) {
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) {
    error = ErrnoText(path);
    return false;
  }
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      error = ErrnoText(path);
      close(fd);
      unlink(path.c_str());
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  if (close(fd) != 0) {
    error = ErrnoText(path);
    unlink(path.c_str());
    return false;
  }
  return true;
}

}  // namespace tessel
