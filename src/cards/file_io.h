// Bounded byte input and atomic file output for the program's readers and
// writers. POSIX underneath; no Qt.
#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <vector>

namespace tessel {

// Little-endian 32-bit value at `p`.
inline uint32_t LoadU32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

// Little-endian reads from memory or a file through one buffer. It always
// knows how many bytes can still come, so a reader can refuse a length or a
// count the input cannot hold before it allocates anything.
class ByteReader {
 public:
  explicit ByteReader(std::span<const uint8_t> data);
  // Reads `size` bytes from an open descriptor (not owned) from its position.
  ByteReader(int fd, uint64_t size);

  uint64_t Remaining() const { return remaining_; }
  bool Failed() const { return failed_; }
  // Marks the input unreadable, for a length or count the caller refuses.
  bool Refuse() {
    failed_ = true;
    return false;
  }

  bool Bytes(void* dst, std::size_t n);
  bool Skip(uint64_t n);
  // The fixed-size reads take the bytes straight from the buffer when they
  // are there, which is nearly always; card files are mostly small fields.
  bool U8(uint8_t& v) {
    if (!Buffered(1)) return Bytes(&v, 1);
    v = *cur_;
    Consume(1);
    return true;
  }
  bool U16(uint16_t& v) {
    uint8_t b[2];
    const uint8_t* p = Buffered(2) ? cur_ : (Bytes(b, 2) ? b : nullptr);
    if (!p) return false;
    v = static_cast<uint16_t>(p[0] | (p[1] << 8));
    if (p == cur_) Consume(2);
    return true;
  }
  bool U32(uint32_t& v) {
    uint8_t b[4];
    const uint8_t* p = Buffered(4) ? cur_ : (Bytes(b, 4) ? b : nullptr);
    if (!p) return false;
    v = LoadU32(p);
    if (p == cur_) Consume(4);
    return true;
  }
  // Reads n bytes into `out`, refusing at once when fewer remain.
  bool String(std::string& out, uint64_t n);

  // The bytes read from the input and not yet consumed.
  std::span<const uint8_t> Unconsumed() const {
    return {cur_, static_cast<std::size_t>(end_ - cur_)};
  }

  // Lets a file reader read into buffers that come from elsewhere, so that
  // their bytes can be handed on without copying: `next` is given the
  // buffer just used up (empty the first time) and returns the one to read
  // into next. Without a source (null), the reader goes back to its own
  // buffer and reads the bytes not yet consumed again from the file.
  using BufferSource = std::span<uint8_t> (*)(void* context, std::span<uint8_t> usedUp);
  void SetBufferSource(BufferSource next, void* context);

 private:
  bool Buffered(std::size_t n) const {
    return !failed_ && static_cast<std::size_t>(end_ - cur_) >= n;
  }
  void Consume(std::size_t n) {
    cur_ += n;
    remaining_ -= n;
  }
  bool Refill();

  int fd_ = -1;
  std::vector<uint8_t> buffer_;
  BufferSource source_ = nullptr;
  void* sourceContext_ = nullptr;
  std::span<uint8_t> reading_;  // the buffer the bytes come from
  bool fromSource_ = false;     // which is a source's
  const uint8_t* cur_ = nullptr;
  const uint8_t* end_ = nullptr;
  uint64_t remaining_ = 0;  // bytes not yet consumed, buffered ones included
  bool failed_ = false;
};

// Reads at given offsets, from memory or from a file through a small window,
// for formats whose records point at one another. A read never goes past the
// end of the input: it returns the bytes that are there.
class PositionedReader {
 public:
  explicit PositionedReader(std::span<const uint8_t> data);
  // Reads from an open descriptor (not owned) of a file of `size` bytes.
  PositionedReader(int fd, uint64_t size);

  uint64_t Size() const { return size_; }
  // Copies up to n bytes from `offset` into dst; the count copied is smaller
  // than n only at the end of the input or after a read error.
  std::size_t ReadAt(uint64_t offset, void* dst, std::size_t n);

 private:
  int fd_ = -1;
  std::span<const uint8_t> data_;
  uint64_t size_ = 0;
  std::vector<uint8_t> window_;
  uint64_t windowStart_ = 0;
  std::size_t windowUsed_ = 0;
};

// Little-endian writes into a buffer that drains into a sink function.
class ByteWriter {
 public:
  using Sink = bool (*)(void* context, const uint8_t* data, std::size_t n);
  ByteWriter(Sink sink, void* context, std::size_t bufferSize = 64 * 1024);

  void Bytes(const void* data, std::size_t n) {
    if (buffer_.size() - used_ >= n) {  // the usual case: it fits
      std::memcpy(buffer_.data() + used_, data, n);
      used_ += n;
    } else {
      SlowBytes(static_cast<const uint8_t*>(data), n);
    }
  }
  void U8(uint8_t v) { Bytes(&v, 1); }
  void U16(uint16_t v) {
    const uint8_t b[2] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8)};
    Bytes(b, 2);
  }
  void U32(uint32_t v) {
    const uint8_t b[4] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8),
                          static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 24)};
    Bytes(b, 4);
  }
  // Drains the buffer; false if the sink failed now or earlier.
  bool Flush();
  bool Failed() const { return failed_; }

 private:
  void SlowBytes(const uint8_t* data, std::size_t n);

  Sink sink_;
  void* context_;
  std::vector<uint8_t> buffer_;
  std::size_t used_ = 0;
  bool failed_ = false;
};

// The system calls the atomic writer makes, so that tests can fail any one.
class FileOps {
 public:
  virtual ~FileOps() = default;
  virtual int Open(const char* path, int flags, mode_t mode);
  virtual ssize_t Write(int fd, const void* data, std::size_t n);
  virtual int Fsync(int fd);
  virtual int Fchmod(int fd, mode_t mode);
  virtual int Close(int fd);
  virtual int Rename(const char* from, const char* to);
  virtual int Unlink(const char* path);
  virtual int Ftruncate(int fd, off_t length);
  virtual int Link(const char* from, const char* to);
  // The reads that tell whether a file changed under the program.
  virtual int Fstat(int fd, struct stat* st);
  virtual ssize_t Pread(int fd, void* data, std::size_t n, off_t offset);

  static FileOps& System();
};

// Writes a new file beside the target and renames it over the target only
// once it is complete and on disk: a failed save leaves the old file whole.
// Where no file can be made in the folder but the target itself may be
// written (a card file in someone else's folder), it writes the target in
// place instead, as the only way to save at all; `InPlace()` says so.
struct BackupPolicy;

class AtomicFile {
 public:
  explicit AtomicFile(FileOps& ops = FileOps::System()) : ops_(ops) {}
  ~AtomicFile();
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  // Creates the temporary file. False when the target cannot be written
  // (missing or unwritable folder, read-only target); `Error()` says why.
  // `newMode`: the permissions of a target that does not exist yet (an
  // existing one keeps its own), before the umask.
  bool Begin(const std::string& target, mode_t newMode = 0666);
  // Keeps the file the commit replaces as a backup (see backup.h); a backup
  // that fails does not stop the save: `BackupError()` says why.
  void SetBackup(const BackupPolicy* policy) { backup_ = policy; }
  const std::string& BackupError() const { return backupError_; }
  bool Write(const uint8_t* data, std::size_t n);
  // Syncs, closes and renames. False if anything failed; the target is then
  // untouched and the temporary file removed.
  bool Commit();
  void Abort();
  const std::string& Error() const { return error_; }
  bool InPlace() const { return inPlace_; }
  uint64_t Written() const { return written_; }
  // The written file as the system saw it just before the rename (zero when
  // that could not be asked): what tells the program's own save apart from
  // another program's.
  const struct stat& Committed() const { return committed_; }

  static bool SinkFor(void* self, const uint8_t* data, std::size_t n) {
    return static_cast<AtomicFile*>(self)->Write(data, n);
  }

 private:
  bool Fail(const char* what);
  bool BeginInPlace();
  void KeepBackup(bool linkAllowed);
  // The temporary file's name beside the target for this attempt.
  std::string TempName(uint64_t random) const;
  // Removes the temporary files that saves of the target killed half-way
  // left behind: those whose writer (named in the file name) is gone.
  void RemoveLeftovers();

  FileOps& ops_;
  std::string target_;
  std::string temp_;
  int fd_ = -1;
  bool inPlace_ = false;
  uint64_t written_ = 0;
  struct stat committed_ {};
  std::string error_;
  const BackupPolicy* backup_ = nullptr;
  std::string backupError_;
};

// The text of a fixed-size field: its bytes up to the first zero byte, or
// all of them when there is none.
std::string FixedField(const uint8_t* field, std::size_t size);

// The folder of a path ("." for a bare name) and its last part.
std::string DirectoryOf(const std::string& path);
std::string BaseName(const std::string& path);
// Makes the entries of a folder (a rename, a new link) durable; best effort.
void SyncDirectory(const std::string& dir);
// "1 card", "3 cards": a count and its noun, for the readers' messages.
std::string Counted(std::size_t n, const char* one, const char* many);

// Opens a file for reading: its descriptor and size, or -1 with errno set.
int OpenForReading(const std::string& path, uint64_t& size);

// Whether a process of this machine with that id is running (one of
// another user counts).
bool ProcessAlive(long long pid);

// The folder of `path` ("." for a bare name) and its last part.
std::string DirectoryOf(const std::string& path);
std::string BaseName(const std::string& path);

}  // namespace tessel
