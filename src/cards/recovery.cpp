#include "cards/recovery.h"

#include <dirent.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <utility>

namespace tessel {
namespace {

constexpr char kMagic[] = "Tessel recovery\n";
constexpr std::size_t kMagicSize = sizeof kMagic - 1;
constexpr char kSuffix[] = ".recovery";

void AppendU32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void AppendU64(std::vector<uint8_t>& out, uint64_t v) {
  for (int i = 0; i < 8; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

bool ReadU64(ByteReader& in, uint64_t& v) {
  uint32_t low = 0, high = 0;
  if (!in.U32(low) || !in.U32(high)) return false;
  v = (static_cast<uint64_t>(high) << 32) | low;
  return true;
}

std::string Where(const RecoveryHeader& header) {
  return header.path.empty() ? std::string("an untitled document") : BaseName(header.path);
}

}  // namespace

bool ParseRecoveryHeader(ByteReader& in, RecoveryHeader& out, std::string& error) {
  char magic[kMagicSize];
  uint32_t layout = 0, pid = 0, pathSize = 0;
  uint64_t written = 0;
  uint8_t blocked = 0;
  if (!in.Bytes(magic, kMagicSize) || std::memcmp(magic, kMagic, kMagicSize) != 0) {
    error = "it is not a recovery file";
    return false;
  }
  if (!in.U32(layout) || layout != kRecoveryLayout) {
    error = "it was written by another version of the program";
    return false;
  }
  if (!in.U32(pid) || !ReadU64(in, out.processStart) || !ReadU64(in, written) || !in.U8(blocked) ||
      !in.U32(pathSize)) {
    error = "it ends too soon";
    return false;
  }
  if (pathSize > kMaxRecoveryPath || blocked > 1) {
    error = "it is damaged";
    return false;
  }
  if (!in.String(out.path, pathSize)) {
    error = "it ends too soon";
    return false;
  }
  if (out.path.find('\0') != std::string::npos) {
    error = "it is damaged";
    return false;
  }
  out.pid = pid;
  out.written = static_cast<int64_t>(written);
  out.saveBlocked = blocked != 0;
  return true;
}

bool ParseRecovery(std::span<const uint8_t> bytes, RecoveryData& out, std::string& error) {
  ByteReader in(bytes);
  out = RecoveryData{};
  if (!ParseRecoveryHeader(in, out.header, error)) return false;
  const ReadResult cards = ParseCardFile(in.Unconsumed(), out.cards);
  if (!cards.Ok() || out.cards.version != kVersionArchive) {
    out.cards = CardFileData{};
    error = "its cards are damaged" + (cards.detail.empty() ? "" : " (" + cards.detail + ")");
    return false;
  }
  return true;
}

bool LoadRecovery(const std::string& file, RecoveryData& out, std::string& error) {
  uint64_t size = 0;
  const int fd = OpenForReading(file, size);
  if (fd < 0) {
    error = std::strerror(errno);
    return false;
  }
  // The file was made by this program, but it is read as any outside file:
  // no length in it is trusted beyond what the file holds.
  std::vector<uint8_t> bytes;
  ByteReader in(fd, size);
  bool read = false;
  try {
    bytes.resize(static_cast<std::size_t>(size));
    read = in.Bytes(bytes.data(), bytes.size());
  } catch (const std::bad_alloc&) {
    error = kNoMemoryForCards;
    ::close(fd);
    return false;
  }
  ::close(fd);
  if (!read) {
    error = "it could not be read";
    return false;
  }
  return ParseRecovery(bytes, out, error);
}

std::vector<uint8_t> RecoveryBytes(const RecoveryHeader& header, const FormatSettings& format,
                                   const std::vector<CardInfo>& cards,
                                   std::vector<uint8_t> reuse) {
  std::vector<uint8_t> out = std::move(reuse);
  out.assign(kMagic, kMagic + kMagicSize);
  AppendU32(out, kRecoveryLayout);
  AppendU32(out, header.pid);
  AppendU64(out, header.processStart);
  AppendU64(out, static_cast<uint64_t>(header.written));
  out.push_back(header.saveBlocked ? 1 : 0);
  const std::string path = header.path.substr(0, kMaxRecoveryPath);
  AppendU32(out, static_cast<uint32_t>(path.size()));
  out.insert(out.end(), path.begin(), path.end());
  AppendCardFileBytes(out, format, cards);
  return out;
}

std::string WriteRecoveryFile(const std::string& file, std::span<const uint8_t> bytes,
                              FileOps& ops) {
  AtomicFile out(ops);
  if (!out.Begin(file, 0600) || !out.Write(bytes.data(), bytes.size()) || !out.Commit()) {
    return out.Error().empty() ? std::string("it could not be written") : out.Error();
  }
  return {};
}

std::string RecoveryFolder() {
  const char* state = std::getenv("XDG_STATE_HOME");
  if (state && state[0] == '/') return std::string(state) + "/Tessel/recovery";
  const char* home = std::getenv("HOME");
  if (home && home[0] == '/') return std::string(home) + "/.local/state/Tessel/recovery";
  return {};
}

std::string MakeRecoveryFolder(const std::string& folder) {
  if (folder.empty()) return "there is no home folder";
  // Each missing part is made private: the files hold the user's cards.
  std::size_t at = 1;
  while (at != std::string::npos) {
    at = folder.find('/', at + 1);
    const std::string part = folder.substr(0, at);
    if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
      return part + ": " + std::strerror(errno);
    }
  }
  struct stat st {};
  if (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return folder + ": not a folder";
  return {};
}

uint64_t ProcessStart(uint32_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string line;
  if (!std::getline(stat, line)) return 0;
  // The command name in parentheses may hold blanks; the fields after it
  // are counted from its closing one. The start is field 22, the 20th
  // after it.
  const std::size_t close = line.rfind(')');
  if (close == std::string::npos) return 0;
  std::istringstream fields(line.substr(close + 1));
  std::string field;
  for (int i = 0; i < 20 && fields >> field; ++i) {
  }
  return fields ? std::strtoull(field.c_str(), nullptr, 10) : 0;
}

RecoveryHeader OwnRecoveryHeader(const std::string& path, bool saveBlocked) {
  RecoveryHeader header;
  header.pid = static_cast<uint32_t>(::getpid());
  header.processStart = ProcessStart(header.pid);
  header.written = static_cast<int64_t>(std::time(nullptr));
  header.saveBlocked = saveBlocked;
  header.path = path;
  return header;
}

bool WriterAlive(const RecoveryHeader& header) {
  if (header.pid == 0 || header.pid > static_cast<uint32_t>(INT32_MAX)) return false;
  if (::kill(static_cast<pid_t>(header.pid), 0) != 0 && errno != EPERM) return false;
  // The id may have been given to another process since.
  const uint64_t start = ProcessStart(header.pid);
  return header.processStart == 0 || start == 0 || start == header.processStart;
}

std::vector<RecoveryCandidate> AbandonedRecoveries(const std::string& folder) {
  std::vector<RecoveryCandidate> found;
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return found;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    // Hidden names are the atomic writer's temporaries.
    if (name.empty() || name[0] == '.' || name.size() <= sizeof kSuffix - 1 ||
        name.compare(name.size() - (sizeof kSuffix - 1), std::string::npos, kSuffix) != 0) {
      continue;
    }
    const std::string file = folder + "/" + name;
    uint64_t size = 0;
    const int fd = OpenForReading(file, size);
    if (fd < 0) continue;
    ByteReader in(fd, size);
    RecoveryCandidate candidate{file, {}};
    std::string error;
    const bool ok = ParseRecoveryHeader(in, candidate.header, error);
    ::close(fd);
    if (ok && !WriterAlive(candidate.header)) found.push_back(std::move(candidate));
  }
  ::closedir(dir);
  std::stable_sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
    return a.header.written > b.header.written;
  });
  return found;
}

std::string RecoveryQuestion(const RecoveryHeader& header, std::time_t now) {
  const std::time_t written = static_cast<std::time_t>(header.written);
  std::tm when {}, today {};
  localtime_r(&written, &when);
  localtime_r(&now, &today);
  const bool sameDay = when.tm_year == today.tm_year && when.tm_yday == today.tm_yday;
  char time[32];
  std::strftime(time, sizeof time, sameDay ? "%H:%M" : "%Y-%m-%d %H:%M", &when);
  return "Tessel was not closed properly. Recover the unsaved cards of " + Where(header) +
         " (from " + time + ")?";
}

std::string DiscardQuestion(const RecoveryHeader& header) {
  return "Discard the unsaved cards of " + Where(header) + "? They cannot be brought back.";
}

// ----------------------------------------------------------- RecoveryWriter

RecoveryWriter::RecoveryWriter(std::string file, FileOps& ops)
    : file_(std::move(file)), ops_(ops), thread_([this] { Run(); }) {}

RecoveryWriter::~RecoveryWriter() {
  {
    std::lock_guard lock(mutex_);
    stop_ = true;
  }
  wake_.notify_one();
  thread_.join();
}

void RecoveryWriter::Write(std::vector<uint8_t> bytes) {
  {
    std::lock_guard lock(mutex_);
    pendingWrite_ = std::move(bytes);
  }
  wake_.notify_one();
}

void RecoveryWriter::Remove() {
  {
    std::lock_guard lock(mutex_);
    pendingWrite_.reset();
    pendingRemove_ = true;
  }
  wake_.notify_one();
}

void RecoveryWriter::Flush() {
  std::unique_lock lock(mutex_);
  idle_.wait(lock, [this] { return !busy_ && !pendingWrite_ && !pendingRemove_; });
}

std::string RecoveryWriter::TakeError() {
  std::lock_guard lock(mutex_);
  return std::exchange(error_, {});
}

std::vector<uint8_t> RecoveryWriter::TakeSpare() {
  std::lock_guard lock(mutex_);
  return std::exchange(spare_, {});
}

void RecoveryWriter::Run() {
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return stop_ || pendingWrite_ || pendingRemove_; });
    if (!pendingWrite_ && !pendingRemove_) return;  // stopping with nothing left
    // A removal asked before a write goes first, as it was asked.
    const bool remove = std::exchange(pendingRemove_, false);
    std::optional<std::vector<uint8_t>> bytes = std::exchange(pendingWrite_, std::nullopt);
    busy_ = true;
    lock.unlock();
    std::string why;
    if (remove) ops_.Unlink(file_.c_str());
    if (bytes) why = WriteRecoveryFile(file_, *bytes, ops_);
    lock.lock();
    busy_ = false;
    if (bytes) {
      error_ = why;
      spare_ = std::move(*bytes);
    }
    idle_.notify_all();
  }
}

}  // namespace tessel
