// The card file's guards on the platform: its lock (a QLockFile beside it,
// or in the runtime folder when the card folder takes no new files) and a
// watcher that tells the document when the file changes on disk.
#pragma once

#include <functional>
#include <string>

#include <QFileSystemWatcher>
#include <QString>
#include <QTimer>

#include "cards/file_lock.h"

namespace tessel {

class QtFileLocker final : public FileLocker {
 public:
  LockResult Lock(const std::string& cardPath) override;
};

class QtFileWatcher final : public FileWatcher {
 public:
  // `changed` runs once a burst of changes has settled (a sync tool writes
  // in several steps), on the program's thread; when it returns false (the
  // news cannot be taken now) it runs again a little later.
  explicit QtFileWatcher(std::function<bool()> changed);
  void Watch(const std::string& path) override;

 private:
  // Watches the file again after it was replaced: a file renamed over the
  // old one is another file to the system.
  void Arm();

  std::function<bool()> changed_;
  QFileSystemWatcher watcher_;
  QTimer settle_;
  QString path_;
};

}  // namespace tessel
