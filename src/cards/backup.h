// The backup a save keeps of the file it replaces: "NAME.tsl~" beside it, or
// numbered generations "NAME.tsl.~1~", "NAME.tsl.~2~", ... (the highest the
// newest), beside it or in a folder of the user's choice. The old file is
// hard-linked to the backup name (copied where no link can be made) before
// the new file is renamed over it, so a crash at any moment leaves the file
// whole and the backup never newer than the file.
#pragma once

#include <optional>
#include <string>

#include "cards/file_io.h"
#include "cards/settings_store.h"

namespace tessel {

// "Backups": 0 keeps none, 1 (the default) one "NAME.tsl~", N > 1 up to N
// numbered generations. "Backup Folder": where they go; empty: beside the
// file.
inline constexpr char kBackupsSetting[] = "Backups";
inline constexpr char kBackupFolderSetting[] = "Backup Folder";
inline constexpr int kMaxBackupGenerations = 999;

struct BackupPolicy {
  int generations = 1;
  std::string folder;
};

BackupPolicy LoadBackupPolicy(const SettingsStore& settings);

// What a save is asked to keep, and what became of it.
struct BackupRequest {
  BackupPolicy policy;
  std::string error;  // why no backup was kept; empty when it was
};

// Keeps `target` as it is now as its newest backup and drops generations
// beyond the policy's count. Empty when done (or there was nothing to keep),
// otherwise why no backup was kept. With `linkAllowed` false the backup is
// a copy (the file is about to be overwritten in place).
std::string KeepBackup(const std::string& target, const BackupPolicy& policy, FileOps& ops,
                       bool linkAllowed = true);

// The newest backup of `target` under the policy's naming (plain or
// numbered, whichever was written last); nullopt when there is none.
std::optional<std::string> NewestBackup(const std::string& target, const BackupPolicy& policy);

}  // namespace tessel
