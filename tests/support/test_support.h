// Small helpers the core tests share.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "cards/settings_store.h"
#include "cards/card_file.h"

namespace tessel::test {

// A fresh folder under the system's temporary folder, removed afterwards.
class TempDir {
 public:
  TempDir() {
    std::random_device seed;
    path_ = std::filesystem::temp_directory_path() /
            ("tessel-test-" + std::to_string(seed()) + std::to_string(seed()));
    std::filesystem::create_directories(path_);
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
  }
  std::string File(const std::string& name) const { return (path_ / name).string(); }
  const std::filesystem::path& Path() const { return path_; }
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(path_)) {
      names.push_back(e.path().filename().string());
    }
    std::sort(names.begin(), names.end());  // the folder's own order is arbitrary
    return names;
  }

 private:
  std::filesystem::path path_;
};

inline std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// A settings store in memory.
class MemoryStore final : public SettingsStore {
 public:
  std::map<std::string, std::string> values;
  std::string GetString(const std::string& n, const std::string& f) const override {
    auto it = values.find(n);
    return it == values.end() ? f : it->second;
  }
  int GetInt(const std::string& n, int f) const override {
    auto it = values.find(n);
    return it == values.end() ? f : std::stoi(it->second);
  }
  void WriteString(const std::string& n, const std::string& v) override { values[n] = v; }
  void WriteInt(const std::string& n, int v) override { values[n] = std::to_string(v); }
};

// Collects the messages of failed reads and saves, passing the results on.
struct RecordingReporter {
  FileResult operator()(FileResult result) {
    if (!result) messages.push_back(result.message);
    return result;
  }
  std::vector<std::string> messages;
};

// Little-endian byte building for hand-made files.
struct Bytes {
  std::vector<uint8_t> v;
  Bytes& u8(uint8_t b) {
    v.push_back(b);
    return *this;
  }
  Bytes& u16(uint16_t x) { return u8(x & 0xFF).u8(x >> 8); }
  Bytes& u32(uint32_t x) { return u16(x & 0xFFFF).u16(x >> 16); }
  Bytes& str(const std::string& s) {
    v.insert(v.end(), s.begin(), s.end());
    return *this;
  }
  Bytes& text(const std::string& s) { return u8(static_cast<uint8_t>(s.size())).str(s); }
  Bytes& fill(std::size_t n, uint8_t b = 0) {
    v.insert(v.end(), n, b);
    return *this;
  }
};

// The archive header with default fonts and the given colours.
inline Bytes ArchiveHeader(uint32_t buttonFace = kDefaultButtonFace,
                           uint32_t window = kDefaultWindow) {
  Bytes b;
  b.u32(kVersionArchive).text("Arial Black").u32(10).text("Times New Roman").u32(10);
  b.u32(buttonFace).u32(window).u32(0).u32(0);
  return b;
}

}  // namespace tessel::test
