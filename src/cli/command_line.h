// Command-line parsing shared by tessel-cli and the project's small tools:
// CLI11 underneath, with the exit statuses these programs have always had.
#pragma once

#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>
#include <string>

namespace tessel::cli {

inline constexpr int kUsageError = 2;

// Whether the words ask for help (-h or --help before any "--"). CLI11
// checks the values it has read before it looks at the help flag, so a
// wrong word next to --help would otherwise hide the help asked for.
inline bool AsksForHelp(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string word = argv[i];
    if (word == "--") return false;
    if (word == "-h" || word == "--help") return true;
  }
  return false;
}

// Parses the command line. Returns -1 when the program is to go on;
// otherwise the status to exit with: 0 after --help or --version (printed
// on stdout), 2 after wrong usage, with the reason and the usage on stderr
// (CLI11's own codes start at 100).
inline int ParseCommandLine(CLI::App& app, int argc, char** argv) {
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    if (e.get_exit_code() == 0) return app.exit(e);
    if (AsksForHelp(argc, argv)) {
      std::cout << app.help();  // of the command the words name
      return 0;
    }
    std::cerr << app.get_name() << ": " << e.what() << "\n\n" << app.help();
    return kUsageError;
  }
  return -1;
}

// CLI11's layout, with an option's value named as the program declares it
// and without CLI11's type names, defaults and REQUIRED marks: each
// description says what it needs.
class HelpFormatter : public CLI::Formatter {
 public:
  std::string make_option_opts(const CLI::Option* opt) const override {
    if (opt->get_positional() || opt->get_type_size() == 0) return {};
    const std::string name = opt->get_type_name();
    return " " + name.substr(0, name.find(':'));  // not the checks CLI11 appends
  }
};

// The help flag and the help's layout, the same in every program.
inline void UseHelpLayout(CLI::App& app) {
  app.formatter(std::make_shared<HelpFormatter>());
  app.set_help_flag("-h,--help", "show this text and exit");
}

}  // namespace tessel::cli
