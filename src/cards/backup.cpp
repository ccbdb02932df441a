#include "cards/backup.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <vector>

namespace tessel {
namespace {

namespace fs = std::filesystem;

// Where the backups of `target` go and the name they start with. In a
// shared folder the name is the whole path with '/' as '!' ('!' doubled),
// so that files of the same name in different folders keep apart.
struct BackupPlace {
  std::string dir;
  std::string stem;
};

BackupPlace PlaceOf(const std::string& target, const BackupPolicy& policy) {
  if (policy.folder.empty()) return {DirectoryOf(target), BaseName(target)};
  std::error_code error;
  const std::string absolute = fs::absolute(target, error).lexically_normal().string();
  std::string stem;
  for (const char c : error ? target : absolute) {
    if (c == '!') stem += "!!";
    else stem += c == '/' ? '!' : c;
  }
  return {policy.folder, stem};
}

std::string PlainName(const BackupPlace& place) { return place.dir + "/" + place.stem + "~"; }

std::string NumberedName(const BackupPlace& place, unsigned long n) {
  return place.dir + "/" + place.stem + ".~" + std::to_string(n) + "~";
}

// The numbers of the generations that exist, lowest first.
std::vector<unsigned long> Generations(const BackupPlace& place) {
  std::vector<unsigned long> numbers;
  const std::string prefix = place.stem + ".~";
  std::error_code error;
  for (fs::directory_iterator it(place.dir, error), end; !error && it != end; it.increment(error)) {
    const std::string name = it->path().filename().string();
    if (name.size() < prefix.size() + 2 || name.compare(0, prefix.size(), prefix) != 0 ||
        name.back() != '~') {
      continue;
    }
    const std::string digits = name.substr(prefix.size(), name.size() - prefix.size() - 1);
    if (digits.empty() || digits.size() > 9 || digits[0] == '0' ||
        !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
      continue;
    }
    numbers.push_back(std::stoul(digits));
  }
  std::sort(numbers.begin(), numbers.end());
  return numbers;
}

std::string SystemReason(int err) { return std::strerror(err); }

// Copies `from` to `to` through the atomic writer: `to` is either as it
// was or the whole copy. The copy keeps the original's permissions.
std::string CopyFile(const std::string& from, const std::string& to, FileOps& ops) {
  uint64_t size = 0;
  const int in = OpenForReading(from, size);
  if (in < 0) return SystemReason(errno);
  struct stat st {};
  ::fstat(in, &st);
  AtomicFile out(ops);
  std::string why;
  if (out.Begin(to, st.st_mode & 0777)) {
    std::vector<uint8_t> buffer(64 * 1024);
    for (;;) {
      const ssize_t got = ::read(in, buffer.data(), buffer.size());
      if (got < 0 && errno == EINTR) continue;
      if (got < 0) {
        why = SystemReason(errno);
        break;
      }
      if (got == 0) {
        if (!out.Commit()) why = out.Error();
        break;
      }
      if (!out.Write(buffer.data(), static_cast<std::size_t>(got))) {
        why = out.Error();
        break;
      }
    }
  } else {
    why = out.Error();
  }
  ::close(in);
  return why;
}

// Puts `target` at `name`: a new link to the same file where the system
// allows it (nothing is copied, and the old file's data stays exactly as
// it was), otherwise a copy. An existing `name` is replaced whole.
std::string PlaceBackup(const std::string& target, const std::string& name, bool linkAllowed,
                        FileOps& ops) {
  if (linkAllowed) {
    // Linked to a fresh name first: link() never replaces, rename() does so
    // atomically.
    const std::string temp =
        DirectoryOf(name) + "/." + BaseName(name) + "." + std::to_string(::getpid()) + ".tmp";
    ops.Unlink(temp.c_str());
    if (ops.Link(target.c_str(), temp.c_str()) == 0) {
      if (ops.Rename(temp.c_str(), name.c_str()) == 0) return {};
      const int err = errno;
      ops.Unlink(temp.c_str());
      return SystemReason(err);
    }
  }
  return CopyFile(target, name, ops);
}

}  // namespace

BackupPolicy LoadBackupPolicy(const SettingsStore& settings) {
  BackupPolicy policy;
  policy.generations =
      std::clamp(settings.GetInt(kBackupsSetting, 1), 0, kMaxBackupGenerations);
  policy.folder = settings.GetString(kBackupFolderSetting, "");
  while (policy.folder.size() > 1 && policy.folder.back() == '/') policy.folder.pop_back();
  return policy;
}

std::string KeepBackup(const std::string& target, const BackupPolicy& policy, FileOps& ops,
                       bool linkAllowed) {
  if (policy.generations <= 0) return {};
  struct stat st {};
  if (::stat(target.c_str(), &st) != 0) return errno == ENOENT ? std::string() : SystemReason(errno);
  const BackupPlace place = PlaceOf(target, policy);
  if (!policy.folder.empty()) {
    std::error_code error;
    fs::create_directories(place.dir, error);
    if (error) return place.dir + ": " + error.message();
  }
  if (policy.generations == 1) return PlaceBackup(target, PlainName(place), linkAllowed, ops);

  std::vector<unsigned long> numbers = Generations(place);
  const unsigned long next = numbers.empty() ? 1 : numbers.back() + 1;
  if (std::string why = PlaceBackup(target, NumberedName(place, next), linkAllowed, ops);
      !why.empty()) {
    return why;
  }
  numbers.push_back(next);
  // The oldest go once there are more than the user keeps.
  const std::size_t keep = static_cast<std::size_t>(policy.generations);
  for (std::size_t i = 0; i + keep < numbers.size(); ++i) {
    ops.Unlink(NumberedName(place, numbers[i]).c_str());
  }
  return {};
}

std::optional<std::string> NewestBackup(const std::string& target, const BackupPolicy& policy) {
  const BackupPlace place = PlaceOf(target, policy);
  std::vector<std::string> candidates = {PlainName(place)};
  for (const unsigned long n : Generations(place)) candidates.push_back(NumberedName(place, n));
  // Numbered ones come in ascending order, so on equal times the later wins.
  std::optional<std::string> newest;
  struct timespec newestTime {};
  for (const std::string& name : candidates) {
    struct stat st {};
    if (::stat(name.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
    const bool later = !newest || st.st_mtim.tv_sec > newestTime.tv_sec ||
                       (st.st_mtim.tv_sec == newestTime.tv_sec &&
                        st.st_mtim.tv_nsec >= newestTime.tv_nsec);
    if (later) {
      newest = name;
      newestTime = st.st_mtim;
    }
  }
  return newest;
}

}  // namespace tessel
