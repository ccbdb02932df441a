#include "cards/file_lock.h"

#include <pwd.h>
#include <sys/stat.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <charconv>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "cards/file_identity.h"
#include "cards/file_io.h"

namespace tessel {

namespace {

std::string_view NextLine(std::string_view& text) {
  const std::size_t end = text.find('\n');
  const std::string_view line = text.substr(0, end);
  text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
  return line;
}

std::optional<LockHolder> LiveHolderAt(const std::string& lockPath) {
  const std::optional<LockFileState> state = ReadLockFile(lockPath);
  if (!state || state->stale) return std::nullopt;
  return state->holder;
}

}  // namespace

std::optional<LockFileState> ReadLockFile(const std::string& lockPath) {
  std::ifstream in(lockPath, std::ios::binary);
  if (!in) return std::nullopt;
  std::string text(4096, '\0');  // a lock file is a few short lines
  in.read(text.data(), static_cast<std::streamsize>(text.size()));
  text.resize(static_cast<std::size_t>(in.gcount()));
  const std::optional<LockHolder> holder = ParseLockFile(text);
  struct stat st {};
  if (!holder || ::stat(lockPath.c_str(), &st) != 0) return std::nullopt;
  const auto age = std::chrono::seconds(std::time(nullptr) - st.st_mtime);
  return LockFileState{*holder, LockIsStale(*holder, age, ThisHost(), &ProcessAlive)};
}

std::optional<LockHolder> ParseLockFile(std::string_view text) {
  LockHolder holder;
  const std::string_view pid = NextLine(text);
  const auto [end, error] = std::from_chars(pid.data(), pid.data() + pid.size(), holder.pid);
  if (error != std::errc() || end != pid.data() + pid.size() || holder.pid <= 0) return std::nullopt;
  holder.app = NextLine(text);
  holder.host = NextLine(text);
  return holder;
}

std::string LockedText(const std::string& cardPath, const LockHolder& holder) {
  const std::string host = holder.host.empty() ? "this computer" : holder.host;
  return BaseName(cardPath) + " is open in Tessel on " + host + " (process " +
         std::to_string(holder.pid) + ")";
}

bool LockIsStale(const LockHolder& holder, std::chrono::seconds age, const std::string& thisHost,
                 bool (*alive)(long long pid)) {
  if (holder.host.empty() || holder.host == thisHost) return !alive(holder.pid);
  return age > kLockStaleAfter || age < -kLockStaleAfter;  // or a clock far off
}

std::string ThisHost() {
  struct utsname name {};
  return ::uname(&name) == 0 ? name.nodename : "";
}

std::string LockTarget(const std::string& cardPath) {
  std::error_code error;
  const std::filesystem::path target = std::filesystem::weakly_canonical(cardPath, error);
  return error ? std::filesystem::absolute(cardPath, error).string() : target.string();
}

std::string LockFileBeside(const std::string& cardPath) {
  const std::string target = LockTarget(cardPath);
  return DirectoryOf(target) + "/." + BaseName(target) + ".lock";
}

std::string RuntimeFolder() {
  if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime) return runtime;
  const passwd* user = ::getpwuid(::getuid());
  return "/tmp/runtime-" + std::string(user ? user->pw_name : std::to_string(::getuid()));
}

std::string LockFileIn(const std::string& folder, const std::string& cardPath) {
  const std::string target = LockTarget(cardPath);
  ContentHash hash;
  hash.Add(reinterpret_cast<const uint8_t*>(target.data()), target.size());
  char name[40];
  std::snprintf(name, sizeof name, "/tessel-%016llx.lock",
                static_cast<unsigned long long>(hash.Value()));
  return folder + name;
}

std::optional<LockHolder> LiveLockHolder(const std::string& cardPath) {
  if (auto holder = LiveHolderAt(LockFileBeside(cardPath))) return holder;
  return LiveHolderAt(LockFileIn(RuntimeFolder(), cardPath));
}

}  // namespace tessel
