// tessel-cli-draw: tessel-cli with the commands that draw with Qt. The tool
// hands those commands over to it.
#include "cli/cli.h"

int main(int argc, char** argv) { return tessel::cli::RunTool(argc, argv); }
