// Copies the texts of a large card file load into their records on a
// second thread while the reader reads on.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "cards/file_io.h"

namespace tessel::card_file {

// Copies card texts into their records on a second thread while this one
// reads on: fresh memory for a million texts is the slowest part of a large
// load. The file is read straight into a few recycled blocks, and a text
// that lies whole in one is handed on as its place there, not copied. A
// card's record is in the collection before any of its texts is read, so the
// second thread only ever fills records that exist.
class TextFiller {
 public:
  static constexpr std::size_t kBlockBytes = 1 << 20;
  static constexpr std::size_t kBlocks = 4;

  explicit TextFiller(ByteReader& in) : in_(in) {
    // Room for every block in both lists now: handing one on then never
    // allocates, so the filler can stop while memory is short.
    free_.reserve(kBlocks);
    full_.reserve(kBlocks);
    for (Block& b : blocks_) {
      b.bytes.resize(kBlockBytes);
      free_.push_back(&b);
    }
    spare_.resize(kBlockBytes);
    try {
      worker_ = std::thread(&TextFiller::Work, this);
    } catch (const std::system_error&) {
      return;  // no thread to be had: the caller reads the texts itself
    }
    in_.SetBufferSource(&TextFiller::NextBuffer, this);
  }
  ~TextFiller() { Stop(); }

  bool Active() const { return worker_.joinable(); }
  // After Stop: a text the other thread had no memory for.
  bool OutOfMemory() const { return outOfMemory_; }

  // Reads an n-byte text into `text`, a member of a record already in the
  // collection; false when the input ends first. A text that does not lie
  // whole in a block, or comes while the other thread is behind (the file
  // is then read into a spare buffer), is read here at once, so that
  // neither thread waits for the other.
  bool Read(std::size_t n, std::string& text) {
    const std::span<const uint8_t> ready = in_.Unconsumed();
    if (!current_ || ready.size() < n) return in_.String(text, n);
    const auto offset = static_cast<std::size_t>(ready.data() - current_->bytes.data());
    current_->items.push_back({&text, offset, n});
    return in_.Skip(n);
  }

  // Hands the last texts on and waits until every text is in its record.
  void Stop() {
    if (!Active()) return;
    in_.SetBufferSource(nullptr, nullptr);  // unconsumed bytes are read again later
    if (current_) Release(current_);
    current_ = nullptr;
    {
      std::lock_guard lock(mutex_);
      done_ = true;
    }
    changed_.notify_all();
    worker_.join();
  }

 private:
  struct Item {
    std::string* text;
    std::size_t offset, length;
  };
  struct Block {
    std::vector<uint8_t> bytes;
    std::vector<Item> items;
  };

  static std::span<uint8_t> NextBuffer(void* self, std::span<uint8_t> /*usedUp*/) {
    return static_cast<TextFiller*>(self)->Next();
  }

  // The reader has used up its block: on to the other thread with it, and
  // a free one to read into, or the spare buffer when none is free.
  std::span<uint8_t> Next() {
    if (current_) Release(current_);
    std::lock_guard lock(mutex_);
    current_ = nullptr;
    if (!free_.empty()) {
      current_ = free_.back();
      free_.pop_back();
    }
    return current_ ? std::span<uint8_t>(current_->bytes) : std::span<uint8_t>(spare_);
  }

  // A used-up block goes to the other thread, or straight back when no
  // text was taken from it.
  void Release(Block* b) {
    {
      std::lock_guard lock(mutex_);
      if (b->items.empty()) {
        free_.push_back(b);
        return;
      }
      full_.push_back(b);
    }
    changed_.notify_all();
  }

  void Work() {
    while (true) {
      Block* b;
      {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return !full_.empty() || done_; });
        if (full_.empty()) return;
        b = full_.back();  // texts are independent: any order will do
        full_.pop_back();
      }
      const auto* bytes = reinterpret_cast<const char*>(b->bytes.data());
      try {
        if (!outOfMemory_) {
          for (const Item& item : b->items) item.text->assign(bytes + item.offset, item.length);
        }
      } catch (const std::bad_alloc&) {
        outOfMemory_ = true;  // the load fails whole; the blocks still go round
      }
      b->items.clear();
      {
        std::lock_guard lock(mutex_);
        free_.push_back(b);
      }
    }
  }

  ByteReader& in_;
  Block blocks_[kBlocks];
  std::vector<uint8_t> spare_;
  Block* current_ = nullptr;  // the block the reader reads from, if any
  std::vector<Block*> free_;
  std::vector<Block*> full_;
  bool done_ = false;
  bool outOfMemory_ = false;  // the other thread's, read after it has ended
  std::mutex mutex_;
  std::condition_variable changed_;
  std::thread worker_;
};

}  // namespace tessel::card_file
