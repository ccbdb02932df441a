// tessel-cli: look into, convert and put out card files from a terminal,
// through the same code as the program.
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "cli/cli.h"

namespace tessel::cli {

namespace {

#ifdef TESSEL_CLI_DRAW_HELPER
// The helper beside this program (a build tree) or in the installed
// private folder, found from this program's own path.
std::string HelperPath() {
  std::vector<char> self(4096);
  const ssize_t n = ::readlink("/proc/self/exe", self.data(), self.size() - 1);
  std::string dir = n > 0 ? std::string(self.data(), static_cast<std::size_t>(n)) : std::string();
  dir = dir.substr(0, dir.find_last_of('/') + 1);
  const std::string beside = dir + TESSEL_CLI_DRAW_HELPER;
  if (::access(beside.c_str(), X_OK) == 0) return beside;
  return dir + TESSEL_CLI_DRAW_HELPER_INSTALLED;
}

// Replaces this process with the helper, which runs the same command line
// after the tool has checked it.
int RunInHelper() {
  const std::string helper = HelperPath();
  std::vector<char*> argv;
  std::string self = "tessel-cli";  // messages and Qt's application name stay the tool's
  argv.push_back(self.data());
  std::vector<std::string> words = CommandLine();
  for (std::string& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);
  ::execv(helper.c_str(), argv.data());
  Fail("cannot run " + helper + ": " + std::strerror(errno));
  return 1;
}

Work DeclarePrintForHelper(CLI::App& command) {
  static PrintArgs args;
  DeclarePrint(command, args);
  return RunInHelper;
}

Work DeclareLabelsForHelper(CLI::App& command) {
  static LabelsArgs args;
  DeclareLabels(command, args);
  return RunInHelper;
}

const Registration kPrint({kPrintName, kPrintDescription, kPrintOrder, DeclarePrintForHelper});
const Registration kLabels({kLabelsName, kLabelsDescription, kLabelsOrder, DeclareLabelsForHelper});
#endif

}  // namespace

}  // namespace tessel::cli

int main(int argc, char** argv) { return tessel::cli::RunTool(argc, argv); }
