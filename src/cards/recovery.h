// Recovery of unsaved cards after a crash. While a document has unsaved
// changes the program keeps a recovery file in the user's state folder: the
// whole document in the card file format, with the path it belongs to, its
// save-blocked flag, and the writing process's id, start and the time of
// writing. A clean save, New, Open or an answered close removes it; at the
// next start one left by a process that is gone is offered back.
//
// File layout (little-endian): the 16 bytes "Tessel recovery\n", the
// layout's version (u32, 1), pid (u32), the process's start in clock ticks
// since boot (u64, 0 when unknown), the time written (i64, seconds since
// 1970), the save-blocked flag (u8), the path's length (u32, at most
// kMaxRecoveryPath) and bytes (UTF-8), then a card file (version 0xAAAC) to
// the end.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <ctime>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "cards/card_file.h"
#include "cards/file_io.h"

namespace tessel {

inline constexpr uint32_t kRecoveryLayout = 1;
inline constexpr std::size_t kMaxRecoveryPath = 4096;

struct RecoveryHeader {
  uint32_t pid = 0;
  uint64_t processStart = 0;
  int64_t written = 0;
  bool saveBlocked = false;
  std::string path;  // empty for an untitled document
};

struct RecoveryData {
  RecoveryHeader header;
  CardFileData cards;
};

// Reads the header only (listing at start-up); false with `error` saying
// why when the bytes are no recovery file of this layout.
bool ParseRecoveryHeader(ByteReader& in, RecoveryHeader& out, std::string& error);
// Reads a whole recovery file: header and cards. False with `error` set
// when anything is missing or damaged; `out` then holds no cards.
bool ParseRecovery(std::span<const uint8_t> bytes, RecoveryData& out, std::string& error);
bool LoadRecovery(const std::string& file, RecoveryData& out, std::string& error);

// The recovery file's bytes, made in one allocation so that taking the
// snapshot on the user-interface thread is quick. `reuse`: the buffer of an
// earlier snapshot, whose memory is taken again (fresh pages cost more than
// the copy itself).
std::vector<uint8_t> RecoveryBytes(const RecoveryHeader& header, const FormatSettings& format,
                                   const std::vector<CardInfo>& cards,
                                   std::vector<uint8_t> reuse = {});

// Writes the file atomically with mode 0600. Empty when done, otherwise
// why not. Only the recovery file (and its temporary) is ever touched.
std::string WriteRecoveryFile(const std::string& file, std::span<const uint8_t> bytes,
                              FileOps& ops = FileOps::System());

// $XDG_STATE_HOME/Tessel/recovery when that variable holds an absolute
// path, otherwise $HOME/.local/state/Tessel/recovery. Empty when neither
// can be known.
std::string RecoveryFolder();
// Makes the folder (mode 0700 for the parts made here); empty when it is
// there, otherwise why not.
std::string MakeRecoveryFolder(const std::string& folder);

// This process's identity as a recovery file records it.
RecoveryHeader OwnRecoveryHeader(const std::string& path, bool saveBlocked);
// The start of process `pid` in clock ticks since boot; 0 when unknown.
uint64_t ProcessStart(uint32_t pid);
// False once the process that wrote `header` has ended (a process with the
// same id but a different start is another one).
bool WriterAlive(const RecoveryHeader& header);

struct RecoveryCandidate {
  std::string file;
  RecoveryHeader header;
};
// The recovery files in `folder` whose writer is gone, newest first. Files
// that are not recovery files of this layout are left alone.
std::vector<RecoveryCandidate> AbandonedRecoveries(const std::string& folder);

// "Tessel was not closed properly. Recover the unsaved cards of sample.tsl
// (from 12:04)?": the time of day for a file written today, with the date
// otherwise.
std::string RecoveryQuestion(const RecoveryHeader& header, std::time_t now);
std::string DiscardQuestion(const RecoveryHeader& header);

// When the next recovery write is due: 5 seconds after the last change,
// and no later than 30 seconds after the first change not yet written, so
// that steady typing is kept too. Times in milliseconds from any origin.
class RecoverySchedule {
 public:
  static constexpr int64_t kQuietMs = 5000;
  static constexpr int64_t kLongestMs = 30000;
  void Changed(int64_t now) {
    if (!pending_) first_ = now;
    pending_ = true;
    last_ = now;
  }
  bool Due(int64_t now) const {
    return pending_ && (now - last_ >= kQuietMs || now - first_ >= kLongestMs);
  }
  void Written() { pending_ = false; }

 private:
  bool pending_ = false;
  int64_t first_ = 0;
  int64_t last_ = 0;
};

// Writes and removes one recovery file on a thread of its own, so that the
// user-interface thread only takes the snapshot. Requests are kept in order;
// an unwritten snapshot is replaced by a newer one.
class RecoveryWriter {
 public:
  explicit RecoveryWriter(std::string file, FileOps& ops = FileOps::System());
  // Finishes what was asked, then ends the thread.
  ~RecoveryWriter();
  RecoveryWriter(const RecoveryWriter&) = delete;
  RecoveryWriter& operator=(const RecoveryWriter&) = delete;

  const std::string& File() const { return file_; }
  void Write(std::vector<uint8_t> bytes);
  void Remove();
  // Waits until every request so far is done.
  void Flush();
  // Why the last write failed, once; empty when it did not.
  std::string TakeError();
  // The buffer of the last snapshot written, for the next one.
  std::vector<uint8_t> TakeSpare();

 private:
  void Run();

  std::string file_;
  FileOps& ops_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable idle_;
  std::optional<std::vector<uint8_t>> pendingWrite_;
  bool pendingRemove_ = false;
  bool busy_ = false;
  bool stop_ = false;
  std::string error_;
  std::vector<uint8_t> spare_;
  std::thread thread_;  // last: starts once the rest is made
};

}  // namespace tessel
