// One editor per card file: the lock file beside it, who holds it, and when
// a lock is stale. The lock itself is taken by the program's platform layer
// (a QLockFile there, whose file this reads); the document and the
// command-line tool see it through what is here.
#pragma once

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace tessel {

// How often a holder touches its lock, and how long a lock of another
// machine may go untouched before it counts as left behind.
inline constexpr std::chrono::minutes kLockRefresh{3};
inline constexpr std::chrono::minutes kLockStaleAfter{15};

struct LockHolder {
  long long pid = 0;
  std::string app;
  std::string host;
};

// The first lines of a lock file: process id, program name, host name.
std::optional<LockHolder> ParseLockFile(std::string_view text);

// "sample.tsl is open in Tessel on HOST (process 1234)".
std::string LockedText(const std::string& cardPath, const LockHolder& holder);

// A lock of this machine is stale once its process is gone; one of another
// machine once it has not been touched for kLockStaleAfter (its process
// cannot be asked from here).
bool LockIsStale(const LockHolder& holder, std::chrono::seconds age, const std::string& thisHost,
                 bool (*alive)(long long pid));

std::string ThisHost();

// The name a card file's lock goes by: the file with links followed, so
// that two names of one file share one lock.
std::string LockTarget(const std::string& cardPath);
// ".NAME.lock" in the card file's folder.
std::string LockFileBeside(const std::string& cardPath);
// The user's runtime folder ($XDG_RUNTIME_DIR, else /tmp/runtime-USER, as
// Qt has it), for a card folder that takes no new files.
std::string RuntimeFolder();
// The lock in `folder` for a card file whose own folder refuses it.
std::string LockFileIn(const std::string& folder, const std::string& cardPath);

// What a lock file says and whether it is stale; nullopt when there is no
// lock file there or it cannot be read.
struct LockFileState {
  LockHolder holder;
  bool stale = false;
};
std::optional<LockFileState> ReadLockFile(const std::string& lockPath);

// The holder of a card file's lock (beside it or in the runtime folder)
// unless the lock is stale or there is none.
std::optional<LockHolder> LiveLockHolder(const std::string& cardPath);

// A lock the document holds while it is open; released when destroyed.
class FileLock {
 public:
  virtual ~FileLock() = default;
};

struct LockResult {
  std::unique_ptr<FileLock> lock;    // taken
  std::optional<LockHolder> holder;  // or: held by this other editor
  std::string error;                 // or: no lock could be made, and why
};

class FileLocker {
 public:
  virtual ~FileLocker() = default;
  virtual LockResult Lock(const std::string& cardPath) = 0;
};

// Tells the document when its file changes on disk (Document::CheckDisk).
class FileWatcher {
 public:
  virtual ~FileWatcher() = default;
  // Watches `path` from now on, nothing for "".
  virtual void Watch(const std::string& path) = 0;
};

}  // namespace tessel
