#include "cards/file_io.h"

#include "cards/backup.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <system_error>
#include <utility>

namespace tessel {
namespace {

constexpr std::size_t kReadBuffer = 64 * 1024;
// NAME_MAX less the dot, the random part and ".tmp" a temporary name adds.
constexpr std::size_t kMaxTempBase = 255 - 22;

// Follows `path` through symbolic links to the name a save must write,
// whether or not that file exists yet; false with errno set when a link
// cannot be read or the links go round in a loop.
bool FollowLinks(std::string& path) {
  for (int hops = 0; hops < 40; ++hops) {
    std::error_code error;
    if (!std::filesystem::is_symlink(std::filesystem::symlink_status(path, error))) return true;
    const std::filesystem::path next = std::filesystem::read_symlink(path, error);
    if (error) {
      errno = error.value();
      return false;
    }
    path = next.is_absolute() ? next.string() : DirectoryOf(path) + "/" + next.string();
  }
  errno = ELOOP;
  return false;
}

}  // namespace

std::string DirectoryOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string BaseName(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

void SyncDirectory(const std::string& dir) {
  const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd >= 0) {
    ::fsync(fd);
    ::close(fd);
  }
}

bool ProcessAlive(long long pid) {
  if (pid <= 0 || pid > INT_MAX) return false;
  return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

// ---------------------------------------------------------------- ByteReader

ByteReader::ByteReader(std::span<const uint8_t> data)
    : cur_(data.data()), end_(data.data() + data.size()), remaining_(data.size()) {}

ByteReader::ByteReader(int fd, uint64_t size) : fd_(fd), remaining_(size) {
  buffer_.resize(kReadBuffer);
  reading_ = buffer_;
  cur_ = end_ = buffer_.data();
}

void ByteReader::SetBufferSource(BufferSource next, void* context) {
  if (!next && fromSource_) {
    // The bytes not yet consumed lie in a buffer that is about to go: they
    // are read again from the file. Nothing is allocated here, so a reader
    // can be let go of while memory is short.
    const auto left = static_cast<off_t>(end_ - cur_);
    if (left > 0 && ::lseek(fd_, -left, SEEK_CUR) < 0) failed_ = true;
    reading_ = buffer_;
    cur_ = end_ = buffer_.data();
    fromSource_ = false;
  }
  source_ = next;
  sourceContext_ = context;
}

bool ByteReader::Refill() {
  const uint64_t unread = remaining_ - static_cast<uint64_t>(end_ - cur_);
  if (fd_ < 0 || unread == 0) return false;
  const std::span<uint8_t> into =
      source_ ? source_(sourceContext_, std::exchange(reading_, {})) : std::span<uint8_t>(buffer_);
  reading_ = into;
  fromSource_ = source_ != nullptr;
  cur_ = end_ = into.data();
  const std::size_t want = static_cast<std::size_t>(std::min<uint64_t>(unread, into.size()));
  ssize_t got;
  do {
    got = ::read(fd_, into.data(), want);
  } while (got < 0 && errno == EINTR);
  if (got <= 0) return false;  // an I/O error, or the file shrank under us
  end_ = cur_ + got;
  return true;
}

bool ByteReader::Bytes(void* dst, std::size_t n) {
  if (failed_ || n > remaining_) {
    failed_ = true;
    return false;
  }
  auto* out = static_cast<uint8_t*>(dst);
  while (n > 0) {
    if (cur_ == end_ && !Refill()) {
      failed_ = true;
      return false;
    }
    const std::size_t take = std::min<std::size_t>(n, static_cast<std::size_t>(end_ - cur_));
    if (out) {
      std::memcpy(out, cur_, take);
      out += take;
    }
    cur_ += take;
    remaining_ -= take;
    n -= take;
  }
  return true;
}

bool ByteReader::Skip(uint64_t n) {
  if (n > remaining_) {
    failed_ = true;
    return false;
  }
  return Bytes(nullptr, static_cast<std::size_t>(n));
}

bool ByteReader::String(std::string& out, uint64_t n) {
  if (failed_ || n > remaining_) {
    failed_ = true;
    return false;
  }
  if (Buffered(static_cast<std::size_t>(n))) {
    out.assign(reinterpret_cast<const char*>(cur_), static_cast<std::size_t>(n));
    Consume(static_cast<std::size_t>(n));
    return true;
  }
  out.resize(static_cast<std::size_t>(n));
  return Bytes(out.data(), out.size());
}

// ---------------------------------------------------------- PositionedReader

PositionedReader::PositionedReader(std::span<const uint8_t> data)
    : data_(data), size_(data.size()) {}

PositionedReader::PositionedReader(int fd, uint64_t size) : fd_(fd), size_(size) {}

std::size_t PositionedReader::ReadAt(uint64_t offset, void* dst, std::size_t n) {
  if (offset >= size_) return 0;
  n = static_cast<std::size_t>(std::min<uint64_t>(n, size_ - offset));
  auto* out = static_cast<uint8_t*>(dst);
  if (fd_ < 0) {
    std::memcpy(out, data_.data() + offset, n);
    return n;
  }
  // Records usually follow one another, so a window read ahead serves most
  // reads without a system call.
  std::size_t done = 0;
  while (done < n) {
    const uint64_t at = offset + done;
    if (at < windowStart_ || at >= windowStart_ + windowUsed_) {
      window_.resize(kReadBuffer);
      const std::size_t want =
          static_cast<std::size_t>(std::min<uint64_t>(window_.size(), size_ - at));
      ssize_t got;
      do {
        got = ::pread(fd_, window_.data(), want, static_cast<off_t>(at));
      } while (got < 0 && errno == EINTR);
      windowStart_ = at;
      windowUsed_ = got > 0 ? static_cast<std::size_t>(got) : 0;
      if (windowUsed_ == 0) break;  // an I/O error, or the file shrank under us
    }
    const std::size_t from = static_cast<std::size_t>(at - windowStart_);
    const std::size_t take = std::min(n - done, windowUsed_ - from);
    std::memcpy(out + done, window_.data() + from, take);
    done += take;
  }
  return done;
}

// ---------------------------------------------------------------- ByteWriter

ByteWriter::ByteWriter(Sink sink, void* context, std::size_t bufferSize)
    : sink_(sink), context_(context), buffer_(bufferSize) {}

void ByteWriter::SlowBytes(const uint8_t* data, std::size_t n) {
  while (n > 0 && !failed_) {
    if (used_ == buffer_.size() && !Flush()) return;
    const std::size_t take = std::min(n, buffer_.size() - used_);
    std::memcpy(buffer_.data() + used_, data, take);
    used_ += take;
    data += take;
    n -= take;
  }
}

bool ByteWriter::Flush() {
  if (failed_) return false;
  if (used_ > 0 && !sink_(context_, buffer_.data(), used_)) failed_ = true;
  used_ = 0;
  return !failed_;
}

// ------------------------------------------------------------------- FileOps

int FileOps::Open(const char* path, int flags, mode_t mode) { return ::open(path, flags, mode); }
ssize_t FileOps::Write(int fd, const void* data, std::size_t n) { return ::write(fd, data, n); }
int FileOps::Fsync(int fd) { return ::fsync(fd); }
int FileOps::Fchmod(int fd, mode_t mode) { return ::fchmod(fd, mode); }
int FileOps::Close(int fd) { return ::close(fd); }
int FileOps::Rename(const char* from, const char* to) { return ::rename(from, to); }
int FileOps::Unlink(const char* path) { return ::unlink(path); }
int FileOps::Ftruncate(int fd, off_t length) { return ::ftruncate(fd, length); }
int FileOps::Link(const char* from, const char* to) { return ::link(from, to); }
int FileOps::Fstat(int fd, struct stat* st) { return ::fstat(fd, st); }
ssize_t FileOps::Pread(int fd, void* data, std::size_t n, off_t offset) {
  return ::pread(fd, data, n, offset);
}

FileOps& FileOps::System() {
  static FileOps ops;
  return ops;
}

// ---------------------------------------------------------------- AtomicFile

AtomicFile::~AtomicFile() { Abort(); }

bool AtomicFile::Fail(const char* what) {
  const int err = errno;
  error_ = std::string(what) + ": " + std::strerror(err);
  Abort();
  return false;
}

bool AtomicFile::Begin(const std::string& target, mode_t newMode) {
  Abort();
  error_.clear();
  backupError_.clear();
  target_ = target;
  inPlace_ = false;
  written_ = 0;
  committed_ = {};

  // Save through a link to the file it names, also one not made yet, rather
  // than replacing the link.
  if (!FollowLinks(target_)) return Fail("cannot follow the link");
  struct stat st {};
  bool exists = ::stat(target_.c_str(), &st) == 0;
  // A path the system cannot even look at (a file where a folder should
  // be, a folder without search permission, a name too long) gets the
  // system's reason for that path, not for the file made beside it.
  if (!exists && errno != ENOENT) {
    error_ = std::strerror(errno);
    return false;
  }
  if (exists && !S_ISREG(st.st_mode)) {
    // A device, a pipe or a folder: said as it is, with no system reason
    // that belongs to something else.
    error_ = S_ISDIR(st.st_mode) ? "it is a folder" : "not a regular file";
    return false;
  }
  // A file the user made read-only is not replaced behind their back.
  if (exists && ::access(target_.c_str(), W_OK) != 0) return Fail("cannot write the file");

  std::random_device seed;
  std::mt19937_64 rng((static_cast<uint64_t>(seed()) << 32) ^ seed() ^ ::getpid());
  for (int attempt = 0; attempt < 100; ++attempt) {
    temp_ = TempName(rng());
    fd_ = ops_.Open(temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, newMode);
    if (fd_ >= 0) break;
    if (errno != EEXIST) {
      temp_.clear();
      if (exists && (errno == EACCES || errno == EPERM)) return BeginInPlace();
      return Fail("cannot create a file in the folder");
    }
  }
  if (fd_ < 0) {
    temp_.clear();
    return Fail("cannot create a file in the folder");
  }
  if (exists && ops_.Fchmod(fd_, st.st_mode & 07777) != 0) return Fail("cannot set permissions");
  return true;
}

// ".NAME.<pid><random>.tmp": the writer's process id in eight hex digits,
// then eight random ones, so a later save can tell a killed save's leftover
// from another program's save in progress.
std::string AtomicFile::TempName(uint64_t random) const {
  char suffix[17];
  std::snprintf(suffix, sizeof suffix, "%08x%08x", static_cast<unsigned>(::getpid()),
                static_cast<unsigned>(random));
  // Cut so that the temporary name is no longer than the target's limit.
  return DirectoryOf(target_) + "/." + BaseName(target_).substr(0, kMaxTempBase) + "." + suffix +
         ".tmp";
}

void AtomicFile::RemoveLeftovers() {
  const std::string mine = BaseName(TempName(0));
  const std::string prefix = mine.substr(0, mine.size() - 20);  // up to the dot before the hex
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(DirectoryOf(target_), error)) {
    const std::string name = entry.path().filename().string();
    if (name.size() != mine.size() || !name.starts_with(prefix) || !name.ends_with(".tmp")) continue;
    const std::string hex = name.substr(prefix.size(), 16);
    if (hex.find_first_not_of("0123456789abcdef") != std::string::npos) continue;
    const long long pid = std::stoll(hex.substr(0, 8), nullptr, 16);
    // A live writer's file is a save in progress, this process's own too.
    if (pid == ::getpid() || ProcessAlive(pid)) continue;
    ops_.Unlink(entry.path().c_str());
  }
}

bool AtomicFile::BeginInPlace() {
  // Not truncated yet: until the first write the old file stays whole.
  fd_ = ops_.Open(target_.c_str(), O_WRONLY | O_CLOEXEC, 0);
  if (fd_ < 0) return Fail("cannot create a file in the folder or write the file itself");
  inPlace_ = true;
  // The file itself is about to be overwritten, so a link to it would keep
  // nothing: the backup is a copy, made before the first write.
  KeepBackup(false);
  return true;
}

void AtomicFile::KeepBackup(bool linkAllowed) {
  if (backup_) backupError_ = tessel::KeepBackup(target_, *backup_, ops_, linkAllowed);
}

bool AtomicFile::Write(const uint8_t* data, std::size_t n) {
  if (fd_ < 0) return false;
  while (n > 0) {
    const ssize_t done = ops_.Write(fd_, data, n);
    if (done < 0 && errno == EINTR) continue;
    if (done <= 0) {
      if (done == 0) errno = EIO;
      return Fail("write failed");
    }
    data += done;
    n -= static_cast<std::size_t>(done);
    written_ += static_cast<uint64_t>(done);
  }
  return true;
}

bool AtomicFile::Commit() {
  if (fd_ < 0) return false;
  // In place, what the old file held past the new end goes.
  if (inPlace_ && ops_.Ftruncate(fd_, static_cast<off_t>(written_)) != 0) {
    return Fail("cannot set the file's length");
  }
  if (ops_.Fsync(fd_) != 0) return Fail("cannot flush to disk");
  if (::fstat(fd_, &committed_) != 0) committed_ = {};
  const int fd = fd_;
  fd_ = -1;
  if (ops_.Close(fd) != 0) return Fail("cannot close");
  if (inPlace_) return true;
  // The old file is kept before the new one replaces it, so the backup is
  // never newer than the file.
  KeepBackup(true);
  if (ops_.Rename(temp_.c_str(), target_.c_str()) != 0) return Fail("cannot replace the file");
  temp_.clear();
  RemoveLeftovers();
  // Make the rename itself durable; the data is already safe if this fails.
  SyncDirectory(DirectoryOf(target_));
  return true;
}

void AtomicFile::Abort() {
  const int saved = errno;
  if (fd_ >= 0) {
    ops_.Close(fd_);
    fd_ = -1;
  }
  if (!temp_.empty()) {
    ops_.Unlink(temp_.c_str());
    temp_.clear();
  }
  errno = saved;
}

std::string FixedField(const uint8_t* field, std::size_t size) {
  const void* nul = std::memchr(field, 0, size);
  const std::size_t length = nul ? static_cast<std::size_t>(static_cast<const uint8_t*>(nul) - field) : size;
  return std::string(reinterpret_cast<const char*>(field), length);
}

int OpenForReading(const std::string& path, uint64_t& size) {
  // Non-blocking so that a named pipe cannot hang the program at open.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return -1;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    const int err = errno;
    ::close(fd);
    errno = S_ISDIR(st.st_mode) ? EISDIR : err;
    return -1;
  }
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  size = static_cast<uint64_t>(st.st_size);
  return fd;
}

std::string Counted(std::size_t n, const char* one, const char* many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

}  // namespace tessel
