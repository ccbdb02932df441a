// Fuzz target for lock files: another program's (or another machine's) file
// beside the card file, read to name who holds it.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "cards/file_lock.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::optional<tessel::LockHolder> holder = tessel::ParseLockFile(text);
  if (!holder) return 0;
  // A holder always has a process to name, and its fields come from the text.
  if (holder->pid <= 0 || holder->app.size() + holder->host.size() > size) std::abort();
  (void)tessel::LockedText("cards.tsl", *holder);
  return 0;
}
