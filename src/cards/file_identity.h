// What a card file was when the program last read or wrote it, and whether
// it still is: a save must not overwrite what another program (a second
// editor, a sync tool) put there without the user's word.
#pragma once

#include <sys/stat.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "cards/file_io.h"

namespace tessel {

// A 64-bit hash of a byte stream, fed in pieces of any size. Not meant to
// withstand an attacker: it tells a file changed by accident from the same.
class ContentHash {
 public:
  void Add(const uint8_t* data, std::size_t n);
  uint64_t Value() const;

 private:
  void Mix(uint64_t word);
  uint64_t state_ = 0x9E3779B97F4A7C15ull;
  uint64_t length_ = 0;
  uint8_t pending_[8] = {};
  std::size_t pendingSize_ = 0;
};

struct FileIdentity {
  bool exists = false;  // false: there was no file of that name
  uint64_t size = 0;
  int64_t mtimeNs = 0;
  uint64_t device = 0;
  uint64_t inode = 0;
  uint64_t hash = 0;  // of the bytes read or written

  // Size, time and the file itself agree, so the bytes need no hashing.
  bool SameStat(const FileIdentity& other) const;
};

FileIdentity IdentityOf(const struct stat& st, uint64_t hash);

// An open file's identity: its status and a hash of every byte in it. False
// with errno set when either could not be read.
bool IdentifyOpenFile(int fd, FileIdentity& out, FileOps& ops = FileOps::System());

enum class DiskState {
  Same,     // what the program last read or wrote
  Changed,  // another program wrote it (or made it, where there was none)
  Missing,  // deleted or moved away
  Unknown,  // it could not be looked at; `reason` says why
};

struct DiskCheck {
  DiskState state = DiskState::Same;
  std::optional<FileIdentity> now;  // the file as found, for Same and Changed
  std::string reason;
};

// Compares the file at `path` with `known`; hashes it only when its status
// differs (a file copied back unchanged is still the same).
DiskCheck CheckOnDisk(const std::string& path, const FileIdentity& known,
                      FileOps& ops = FileOps::System());

}  // namespace tessel
