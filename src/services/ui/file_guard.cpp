#include "services/ui/file_guard.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <chrono>
#include <memory>

#include <QFileInfo>
#include <QLockFile>

#include "services/ui/text.h"

namespace tessel {

namespace {

// How long a burst of changes on disk must have been quiet, and how long
// news that could not be taken waits.
constexpr int kSettleMs = 150;
constexpr int kRetryMs = 500;

// A taken lock, touched now and then so that another machine sees it is
// still held.
class QtFileLock final : public FileLock {
 public:
  explicit QtFileLock(const std::string& lockPath) : path_(lockPath), file_(FromPath(lockPath)) {
    file_.setStaleLockTime(0);  // staleness is judged by LockIsStale
    refresh_.setInterval(std::chrono::duration_cast<std::chrono::milliseconds>(kLockRefresh));
    QObject::connect(&refresh_, &QTimer::timeout, [this] { ::utimensat(AT_FDCWD, path_.c_str(), nullptr, 0); });
  }
  QLockFile& File() { return file_; }
  void Held() { refresh_.start(); }

 private:
  std::string path_;
  QLockFile file_;
  QTimer refresh_;
};

QString LockError(QLockFile::LockError error) {
  return error == QLockFile::PermissionError ? QStringLiteral("the folder takes no new files")
                                             : QStringLiteral("the lock file cannot be made");
}

LockResult LockAt(const std::string& lockPath) {
  auto lock = std::make_unique<QtFileLock>(lockPath);
  // A second round after taking a stale lock over, should another
  // instance have taken it meanwhile.
  for (int attempt = 0; attempt < 3; ++attempt) {
    if (lock->File().tryLock(0)) {
      lock->Held();
      return {std::move(lock), std::nullopt, {}};
    }
    if (lock->File().error() != QLockFile::LockFailedError) {
      return {nullptr, std::nullopt, ToPath(LockError(lock->File().error()))};
    }
    const std::optional<LockFileState> state = ReadLockFile(lockPath);
    if (state && !state->stale) return {nullptr, state->holder, {}};
    // Stale, or gone or half-written in between: take it over and retry.
    if (state) lock->File().removeStaleLockFile();
  }
  return {nullptr, std::nullopt, "something that is no lock file is in its place"};
}

}  // namespace

LockResult QtFileLocker::Lock(const std::string& cardPath) {
  LockResult beside = LockAt(LockFileBeside(cardPath));
  if (beside.lock || beside.holder) return beside;
  // A card folder that takes no new files: the lock goes to the user's
  // runtime folder, which guards against this user's second instance.
  const std::string folder = RuntimeFolder();
  ::mkdir(folder.c_str(), 0700);
  LockResult runtime = LockAt(LockFileIn(folder, cardPath));
  if (!runtime.lock && !runtime.holder) runtime.error = beside.error;
  return runtime;
}

QtFileWatcher::QtFileWatcher(std::function<bool()> changed) : changed_(std::move(changed)) {
  settle_.setSingleShot(true);
  QObject::connect(&settle_, &QTimer::timeout, [this] {
    if (!changed_()) settle_.start(kRetryMs);
  });
  const auto noticed = [this] {
    Arm();
    settle_.start(kSettleMs);
  };
  QObject::connect(&watcher_, &QFileSystemWatcher::fileChanged, noticed);
  QObject::connect(&watcher_, &QFileSystemWatcher::directoryChanged, noticed);
}

void QtFileWatcher::Watch(const std::string& path) {
  settle_.stop();
  if (!watcher_.files().isEmpty()) watcher_.removePaths(watcher_.files());
  if (!watcher_.directories().isEmpty()) watcher_.removePaths(watcher_.directories());
  path_ = path.empty() ? QString() : FromPath(LockTarget(path));
  if (path_.isEmpty()) return;
  // The folder too: it tells of a file made, replaced or moved away when
  // the file's own watch is gone with the old file.
  watcher_.addPath(QFileInfo(path_).absolutePath());
  Arm();
}

void QtFileWatcher::Arm() {
  if (!path_.isEmpty() && !watcher_.files().contains(path_) && QFileInfo::exists(path_)) {
    watcher_.addPath(path_);
  }
}

}  // namespace tessel
