// The vCard source of the import command: the reading and the messages are
// the vCard reader's, as File > Import > vCard... shows them.
#include "cards/vcard_file.h"
#include "cli/cli.h"

namespace tessel::cli {

bool ReadVcardSource(const std::string& path, std::vector<CardInfo>& cards, std::string& summary) {
  const VcardReadResult result = LoadVcardFile(path, cards);
  summary = VcardMessage(result, path);
  if (!result.Imports()) Fail(summary);
  return result.Imports();
}

}  // namespace tessel::cli
