#include "cards/file_identity.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace tessel {

namespace {

uint64_t RotateLeft(uint64_t v, int by) { return (v << by) | (v >> (64 - by)); }

}  // namespace

void ContentHash::Mix(uint64_t word) {
  state_ = RotateLeft(state_ ^ (word * 0x87C37B91114253D5ull), 31) * 0x4CF5AD432745937Full;
}

void ContentHash::Add(const uint8_t* data, std::size_t n) {
  length_ += n;
  while (n > 0 && (pendingSize_ > 0 || n < 8)) {
    pending_[pendingSize_++] = *data++;
    --n;
    if (pendingSize_ == 8) {
      Mix(LoadU32(pending_) | (static_cast<uint64_t>(LoadU32(pending_ + 4)) << 32));
      pendingSize_ = 0;
    }
  }
  for (; n >= 8; data += 8, n -= 8) {
    Mix(LoadU32(data) | (static_cast<uint64_t>(LoadU32(data + 4)) << 32));
  }
  std::memcpy(pending_ + pendingSize_, data, n);
  pendingSize_ += n;
}

uint64_t ContentHash::Value() const {
  ContentHash last = *this;
  uint8_t tail[8] = {};
  std::memcpy(tail, pending_, pendingSize_);
  last.Mix(LoadU32(tail) | (static_cast<uint64_t>(LoadU32(tail + 4)) << 32));
  last.Mix(length_);
  uint64_t h = last.state_;
  h ^= h >> 33;
  h *= 0xFF51AFD7ED558CCDull;
  h ^= h >> 33;
  return h;
}

bool FileIdentity::SameStat(const FileIdentity& other) const {
  return exists == other.exists && size == other.size && mtimeNs == other.mtimeNs &&
         device == other.device && inode == other.inode;
}

FileIdentity IdentityOf(const struct stat& st, uint64_t hash) {
  FileIdentity id;
  id.exists = true;
  id.size = static_cast<uint64_t>(st.st_size);
  id.mtimeNs = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  id.device = st.st_dev;
  id.inode = st.st_ino;
  id.hash = hash;
  return id;
}

bool IdentifyOpenFile(int fd, FileIdentity& out, FileOps& ops) {
  struct stat st {};
  if (ops.Fstat(fd, &st) != 0) return false;
  ContentHash hash;
  std::vector<uint8_t> buffer(64 * 1024);
  for (off_t at = 0;;) {
    const ssize_t got = ops.Pread(fd, buffer.data(), buffer.size(), at);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return false;
    if (got == 0) break;
    hash.Add(buffer.data(), static_cast<std::size_t>(got));
    at += got;
  }
  out = IdentityOf(st, hash.Value());
  return true;
}

DiskCheck CheckOnDisk(const std::string& path, const FileIdentity& known, FileOps& ops) {
  // Non-blocking, so that a pipe put in the file's place cannot hang the
  // program.
  const int fd = ops.Open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK, 0);
  if (fd < 0) {
    if (errno == ENOENT) return {known.exists ? DiskState::Missing : DiskState::Same, {}, {}};
    return {DiskState::Unknown, {}, std::strerror(errno)};
  }
  DiskCheck check;
  struct stat st {};
  if (ops.Fstat(fd, &st) != 0) {
    check = {DiskState::Unknown, {}, std::strerror(errno)};
  } else if (!S_ISREG(st.st_mode)) {
    check = {DiskState::Changed, {}, "it is no longer a regular file"};
  } else if (FileIdentity found = IdentityOf(st, known.hash); found.SameStat(known)) {
    check = {DiskState::Same, found, {}};
  } else if (!IdentifyOpenFile(fd, found, ops)) {
    check = {DiskState::Unknown, {}, std::strerror(errno)};
  } else {
    const bool same = known.exists && found.size == known.size && found.hash == known.hash;
    check = {same ? DiskState::Same : DiskState::Changed, found, {}};
  }
  ::close(fd);  // read-only: nothing a failed close could lose
  return check;
}

}  // namespace tessel
