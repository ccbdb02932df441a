// Runs tessel-cli as a user would and collects what it says.
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

// `env`: assignments put before the command, such as "HOME=/tmp/x ".
inline CliRun Cli(const std::string& args, const TempDir& dir, const std::string& env = "") {
  const std::string errFile = dir.File("stderr.txt");
  const std::string command =
      env + std::string("'") + TESSEL_CLI + "' " + args + " 2>'" + errFile + "'";
  CliRun run;
  FILE* pipe = ::popen(command.c_str(), "r");
  char buffer[4096];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) run.out.append(buffer, n);
  const int status = ::pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  const auto err = ReadBytes(errFile);
  run.err.assign(err.begin(), err.end());
  return run;
}

inline std::string Quoted(const std::string& path) { return "'" + path + "'"; }

}  // namespace tessel::test
