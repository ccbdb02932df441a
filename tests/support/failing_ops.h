// The atomic writer's system calls with one of them failed, for the tests
// that make every failure point of a write happen for real.
#pragma once

#include <cerrno>

#include "cards/file_io.h"

namespace tessel::test {

// Fails the n-th system call the writer makes (counting from 0).
class FailingOps final : public FileOps {
 public:
  explicit FailingOps(int failAt, int err = ENOSPC) : failAt_(failAt), err_(err) {}
  int calls = 0;

  int Open(const char* p, int f, mode_t m) override { return Fails() ? -1 : FileOps::Open(p, f, m); }
  ssize_t Write(int fd, const void* d, std::size_t n) override {
    if (Fails()) return -1;
    // Short writes are legal; the writer must carry on after them.
    return FileOps::Write(fd, d, n > 1000 ? n / 2 : n);
  }
  int Fsync(int fd) override { return Fails() ? -1 : FileOps::Fsync(fd); }
  int Fchmod(int fd, mode_t m) override { return Fails() ? -1 : FileOps::Fchmod(fd, m); }
  int Close(int fd) override {
    if (Fails()) {
      FileOps::Close(fd);
      return -1;
    }
    return FileOps::Close(fd);
  }
  int Rename(const char* a, const char* b) override { return Fails() ? -1 : FileOps::Rename(a, b); }
  int Link(const char* a, const char* b) override { return Fails() ? -1 : FileOps::Link(a, b); }
  int Unlink(const char* p) override { return FileOps::Unlink(p); }
  int Fstat(int fd, struct stat* st) override { return Fails() ? -1 : FileOps::Fstat(fd, st); }
  ssize_t Pread(int fd, void* d, std::size_t n, off_t at) override {
    if (Fails()) return -1;
    return FileOps::Pread(fd, d, n > 1000 ? n / 2 : n, at);  // short reads too
  }

 private:
  bool Fails() {
    if (calls++ != failAt_) return false;
    errno = err_;
    return true;
  }
  int failAt_;
  int err_;
};

}  // namespace tessel::test
