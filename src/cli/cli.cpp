// tessel-cli's command table, the argument parsing and the loading and
// saving its commands share, and the dispatch that both the tool and its
// drawing helper run.
#include <unistd.h>

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <memory>
#include <new>
#include <string>

#include "cards/card_file.h"
#include "cards/codepage.h"
#include "cards/crd_file.h"
#include "cards/file_lock.h"
#include "cli/cli.h"

namespace tessel::cli {

namespace {

std::vector<Command>& Commands() {
  static std::vector<Command> commands;
  return commands;
}

Args& CommandLineWords() {
  static Args words;
  return words;
}

// The cards read into the collection, or the message when memory is short.
bool Apply(Loaded& loaded, CardFileData&& data, const std::string& path) {
  if (ApplyCardFileData(loaded.cards, loaded.format, std::move(data))) return true;
  Fail(ReadErrorMessage({ReadStatus::Damaged, kNoMemoryForCards}, path));
  return false;
}

bool HasCrdExtension(const std::string& path) {
  return path.size() >= 4 && MbsICmp(std::string_view(path).substr(path.size() - 4), ".crd") == 0;
}

// Reads the input as a Cardfile file or as a card file, whichever its content
// is; `readCrd` and `readCardFile` read the same input, named `name`.
template <typename ReadCrd, typename ReadCardFile>
bool LoadWith(const std::string& name, ReadCrd readCrd, ReadCardFile readCardFile, Loaded& loaded) {
  std::vector<CardInfo> imported;
  const CrdReadResult crd = readCrd(imported);
  if (crd.Imports() || crd.status == CrdStatus::Damaged || crd.status == CrdStatus::Unicode) {
    // Damage, and pictures or objects left behind, are told on standard error.
    if (const std::string message = CrdMessage(crd, name); !message.empty()) Fail(message, crd.detail);
    if (!crd.Imports()) return false;
    loaded.cardfile = true;
    loaded.cardfileSignature = crd.signature;
    return Apply(loaded, CardFileData{0, std::nullopt, std::move(imported)}, name);
  }
  CardFileData data;
  const ReadResult result = readCardFile(data);
  if (!result.Ok()) {
    // A file named as a Cardfile file gets the import's answer.
    const bool crdNamed = result.status == ReadStatus::Incompatible && HasCrdExtension(name);
    if (crdNamed) {
      Fail(CrdMessage(crd, name), crd.detail);
    } else {
      Fail(ReadErrorMessage(result, name), result.detail);
    }
    return false;
  }
  loaded.version = data.version;
  loaded.hasFormat = data.format.has_value();
  return Apply(loaded, std::move(data), name);
}

// Standard input whole. The readers need the whole input, as they have a
// file's size; a pipe has none, so the bytes are held in memory, no more of
// them than the machine has memory, and refused as a file too large for
// the memory is.
bool ReadStandardInput(std::vector<uint8_t>& bytes) {
  const uint64_t limit = static_cast<uint64_t>(::sysconf(_SC_PHYS_PAGES)) *
                         static_cast<uint64_t>(::sysconf(_SC_PAGESIZE));
  constexpr std::size_t kChunk = 1 << 16;
  try {
    struct stat st {};
    if (::fstat(STDIN_FILENO, &st) == 0 && S_ISREG(st.st_mode) &&
        static_cast<uint64_t>(st.st_size) < limit) {
      bytes.reserve(static_cast<std::size_t>(st.st_size) + 1);
    }
    std::size_t used = 0;
    for (;;) {
      if (used + kChunk > limit) throw std::bad_alloc();
      if (bytes.size() < used + kChunk) {
        bytes.resize(static_cast<std::size_t>(
            std::min<uint64_t>(std::max(used + kChunk, bytes.size() * 2), limit)));
      }
      const ssize_t n = ::read(STDIN_FILENO, bytes.data() + used, kChunk);
      if (n == 0) break;
      if (n < 0) {
        if (errno == EINTR) continue;
        Fail(std::string("There was an error reading ") + kStandardInputName + ": " +
             std::strerror(errno));
        return false;
      }
      used += static_cast<std::size_t>(n);
    }
    bytes.resize(used);
  } catch (const std::bad_alloc&) {
    std::vector<uint8_t>().swap(bytes);
    Fail(ReadErrorMessage({ReadStatus::Damaged, kNoMemoryForCards}, kStandardInputName));
    return false;
  }
  return true;
}

bool WriteAll(const uint8_t* data, std::size_t n) {
  while (n > 0) {
    const ssize_t written = ::write(STDOUT_FILENO, data, n);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      Fail(std::string("cannot write to standard output: ") + std::strerror(errno));
      return false;
    }
    data += written;
    n -= static_cast<std::size_t>(written);
  }
  return true;
}

bool StandardOutputSink(void*, const uint8_t* data, std::size_t n) { return WriteAll(data, n); }

// Flushes what the command wrote to standard output and ends the process
// with its status; output that could not be written is a failure.
[[noreturn]] void Finish(int status) {
  errno = 0;
  std::cout.flush();
  const bool written = std::cout.good() && std::fflush(stdout) == 0 && !std::ferror(stdout);
  if (!written && status == 0) {
    Fail(std::string("cannot write to standard output: ") +
         (errno != 0 ? std::strerror(errno) : "write error"));
    status = 1;
  }
  std::fflush(nullptr);
  std::_Exit(status);  // see KeptLoaded
}

}  // namespace

Registration::Registration(const Command& command) { Commands().push_back(command); }

void Fail(const std::string& message, const std::string& reason) {
  const std::string why = ReasonBeyond(message, reason);
  std::cerr << "tessel-cli: " << message << (why.empty() ? "" : ": " + why) << '\n';
}

const Args& CommandLine() { return CommandLineWords(); }

CLI::Option* AddInput(CLI::App& command, const std::string& name, std::string& path) {
  return command.add_option(name, path, "the card file or Cardfile file to read (- reads standard input)")
      ->required();
}

CLI::Option* AddOutput(CLI::App& command, const std::string& name, std::string& path,
                       const std::string& description, bool standardOutput) {
  CLI::Option* option = command.add_option(name, path, description)->required();
  if (!standardOutput) {
    option->check(CLI::Validator(
        [](const std::string& value) {
          return value == kStandardStream ? std::string("- (standard input or output) is not taken here")
                                          : std::string();
        },
        ""));
  }
  return option;
}

CLI::Option* AddOutputOption(CLI::App& command, const std::string& name, std::string& path,
                             const std::string& typeName, const std::string& description) {
  return command.add_option(name, path, description)
      ->type_name(typeName)
      ->check(CLI::Validator(
          [](const std::string& value) {
            return value.starts_with('-') ? "\"" + value + "\" is not taken as a file name here (write ./" +
                                                value + " for a file of that name)"
                                          : std::string();
          },
          ""));
}

CLI::Option* AddSeparator(CLI::App& command, std::string& separator, const std::string& description) {
  return command.add_option("--separator", separator, description)
      ->type_name("C")
      ->check(CLI::IsMember({",", "comma", ";", "semicolon", "tab", "\t"}));
}

char SeparatorChar(const std::string& value) {
  if (value == ";" || value == "semicolon") return ';';
  if (value == "tab" || value == "\t") return '\t';
  return ',';
}

bool WriteStandardOutput(std::string_view bytes) {
  return WriteAll(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

Loaded& KeptLoaded() {
  static std::vector<std::unique_ptr<Loaded>> kept;  // reachable, never freed
  kept.push_back(std::make_unique<Loaded>());
  return *kept.back();
}

bool Load(const std::string& path, Loaded& loaded) {
  if (path != kStandardStream) {
    return LoadWith(
        path, [&](std::vector<CardInfo>& cards) { return LoadCrdFile(path, cards); },
        [&](CardFileData& data) { return LoadCardFileData(path, data); }, loaded);
  }
  std::vector<uint8_t> bytes;
  if (!ReadStandardInput(bytes)) return false;
  return LoadWith(
      kStandardInputName, [&](std::vector<CardInfo>& cards) { return ParseCrdFile(bytes, cards); },
      [&](CardFileData& data) { return ParseCardFile(bytes, data); }, loaded);
}

CLI::Option* AddForce(CLI::App& command, bool& force) {
  return command.add_flag("--force", force,
                          "write the file even while Tessel has it open (its unsaved cards may "
                          "then be saved over these)");
}

int Save(Loaded& loaded, const std::string& path, bool force) {
  if (path == kStandardStream) {
    if (::isatty(STDOUT_FILENO)) {
      Fail("a card file is not written to a terminal; send standard output to a file or a program");
      return 1;
    }
    loaded.cards.ResortKeepingFront();
    ByteWriter out(StandardOutputSink, nullptr);
    const bool written = SerializeCardFile(out, loaded.format, loaded.cards.Cards()) && out.Flush();
    if (!written && !out.Failed()) Fail("a card's text is too long for a card file");
    return written ? 0 : 1;
  }
  if (const std::optional<LockHolder> holder = LiveLockHolder(path); holder && !force) {
    Fail(LockedText(path, *holder) + "; \"" + path + "\" is unchanged (--force writes it anyway)");
    return 1;
  }
  const FileResult written = WriteCardFile(loaded.cards, loaded.format, path);
  if (!written) Fail(written.message, written.detail);
  return written ? 0 : 1;
}

int RunTool(int argc, char** argv) {
  CommandLineWords().assign(argv + 1, argv + argc);
  CLI::App app("Look into, convert and put out Tessel card files from a terminal.", "tessel-cli");
  UseHelpLayout(app);
  app.get_formatter()->label("SUBCOMMAND", "COMMAND");
  app.set_version_flag("--version", "tessel-cli " TESSEL_VERSION, "show the version and exit");
  app.require_subcommand(1);
  app.footer(
      "Run tessel-cli COMMAND --help for a command's arguments. A file to read given as - is\n"
      "standard input; -- ends the options, so that the words after it are taken as they are.");

  std::vector<Command> commands = Commands();
  std::stable_sort(commands.begin(), commands.end(),
                   [](const Command& a, const Command& b) { return a.order < b.order; });
  std::vector<std::pair<CLI::App*, Work>> work;
  for (const Command& c : commands) {
    CLI::App* sub = app.add_subcommand(c.name, c.description);
    sub->group("Commands");
    sub->footer("");
    work.emplace_back(sub, c.declare(*sub));
  }

  if (const int status = ParseCommandLine(app, argc, argv); status >= 0) return status;
  for (const auto& [sub, run] : work) {
    if (sub->parsed()) Finish(run());
  }
  return kUsageError;  // require_subcommand leaves no way here
}

}  // namespace tessel::cli
