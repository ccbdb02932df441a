// Fuzz target for the stored window placement.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/placement.h"

namespace {
class OneValue final : public tessel::SettingsStore {
 public:
  explicit OneValue(std::string v) : value_(std::move(v)) {}
  std::string GetString(const std::string&, const std::string&) const override { return value_; }
  int GetInt(const std::string&, int f) const override { return f; }
  void WriteString(const std::string&, const std::string& v) override { value_ = v; }
  void WriteInt(const std::string&, int) override {}

 private:
  std::string value_;
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  OneValue store(std::string(reinterpret_cast<const char*>(data), size));
  const tessel::StackRect rect = tessel::LoadWindowPlacement(store);
  // Whatever was read, saving and loading it again gives the same rectangle.
  tessel::SaveWindowPlacement(store, {0, tessel::ShowState::Normal, rect});
  if (!(tessel::LoadWindowPlacement(store) == rect)) std::abort();
  return 0;
}
