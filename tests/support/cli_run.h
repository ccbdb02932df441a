// Runs tessel-cli as a user runs it from a shell.
#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <string>

#include "support/test_support.h"

namespace tessel::test {

struct CliRun {
  int status = -1;
  std::string out;
  std::string err;
};

// Runs `command` through the shell, stderr kept in a file of `dir`.
inline CliRun RunShell(const std::string& command, const TempDir& dir) {
  const std::string errFile = dir.File("stderr.txt");
  CliRun run;
  FILE* pipe = ::popen((command + " 2>'" + errFile + "'").c_str(), "r");
  char buffer[4096];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) run.out.append(buffer, n);
  const int status = ::pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  const auto err = ReadBytes(errFile);
  run.err.assign(err.begin(), err.end());
  return run;
}

#ifdef TESSEL_CLI
// `env`: assignments put before the command, such as "HOME=/tmp/x ".
inline CliRun Cli(const std::string& args, const TempDir& dir, const std::string& env = "") {
  return RunShell(env + std::string("'") + TESSEL_CLI + "' " + args, dir);
}
#endif

inline std::string Quoted(const std::string& path) { return "'" + path + "'"; }

}  // namespace tessel::test
