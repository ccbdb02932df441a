// The command-line tool, run as a user runs it.
#include <filesystem>
#include <nlohmann/json.hpp>
#include <sstream>

#include "support/cli_run.h"
#include "support/crd_for_test.h"
#include "support/fake_modem.h"
#include "support/test_support.h"

namespace tessel {
namespace {

using test::Cli;
using test::CliRun;
using test::Quoted;

test::Bytes FixedFile(uint32_t version, const std::vector<CardInfo>& cards) {
  test::Bytes b;
  b.u32(version).u32(static_cast<uint32_t>(cards.size()));
  for (const CardInfo& c : cards) {
    b.str(c.index).fill(42 - c.index.size()).str(c.body).fill(512 - c.body.size());
    if (version == kVersionFixedTagged) b.u32(static_cast<uint32_t>(c.tag));
  }
  return b;
}

TEST(Cli, ConvertOfAnOldOneCardFileWritesTheDocumentedBytes) {
  test::TempDir dir;
  test::WriteBytes(dir.File("ann.tsl"), FixedFile(kVersionFixed, {CardInfo("Ann", "Tel 1", 0)}).v);
  const CliRun run = Cli("convert " + Quoted(dir.File("ann.tsl")) + " " + Quoted(dir.File("out.tsl")), dir);
  ASSERT_EQ(run.status, 0) << run.err;
  test::Bytes expected;
  expected.u32(0xAAAC).text("Arial Black").u32(10).text("Times New Roman").u32(10);
  expected.u32(0x00F0F0F0).u32(0x00FFFFFF).u32(0).u32(0).u16(1);
  expected.u16(0xFFFF).u16(1).u16(8).str("CardInfo").u32(1).text("Ann").text("Tel 1").u32(1);
  EXPECT_EQ(test::ReadBytes(dir.File("out.tsl")), expected.v);
}

TEST(Cli, ShowPrintsEveryVersionSortedAsUtf8Json) {
  test::TempDir dir;
  const std::vector<CardInfo> cards = {CardInfo("zebra", "Z", 0), CardInfo("\xC9" "cole", "caf\xE9", 1),
                                       CardInfo("Apple", "line\r\nbreak \"q\"", 0)};
  test::WriteBytes(dir.File("a.tsl"), FixedFile(kVersionFixed, cards).v);
  test::WriteBytes(dir.File("b.tsl"), FixedFile(kVersionFixedTagged, cards).v);
  FormatSettings f;
  f.bodyFace = "Georgia";
  f.indexBackground = 0x123456;
  test::WriteBytes(dir.File("c.tsl"), CardFileBytes(f, cards));

  for (const char* name : {"a.tsl", "b.tsl", "c.tsl"}) {
    const CliRun run = Cli("show " + Quoted(dir.File(name)), dir);
    ASSERT_EQ(run.status, 0) << run.err;
    const auto json = nlohmann::json::parse(run.out);
    ASSERT_EQ(json["cards"].size(), 3u);
    EXPECT_EQ(json["cards"][0]["index"], "Apple");
    EXPECT_EQ(json["cards"][0]["body"], "line\r\nbreak \"q\"");
    // Accented letters sort by their code after ASCII, as the file's order always has.
    EXPECT_EQ(json["cards"][1]["index"], "zebra");
    EXPECT_EQ(json["cards"][2]["index"], "\u00C9cole");
    EXPECT_EQ(json["cards"][2]["body"], "caf\u00E9");
    if (std::string(name) == "a.tsl") {
      EXPECT_EQ(json["version"], 0xAAAA);
      EXPECT_TRUE(json["format"].is_null());
      EXPECT_EQ(json["cards"][0]["tag"], 1);
    } else if (std::string(name) == "b.tsl") {
      EXPECT_TRUE(json["format"].is_null());
      EXPECT_EQ(json["cards"][0]["tag"], 0);
    } else {
      EXPECT_EQ(json["version"], 0xAAAC);
      EXPECT_EQ(json["format"]["bodyFace"], "Georgia");
      EXPECT_EQ(json["format"]["indexBackground"], 0x123456);
      EXPECT_EQ(json["format"]["indexSize"], 10);
    }
  }
}

TEST(Cli, InfoListsCountsAndSettings) {
  test::TempDir dir;
  test::WriteBytes(dir.File("c.tsl"),
                   CardFileBytes(FormatSettings{}, {CardInfo("a", "", 1), CardInfo("b", "", 0)}));
  const CliRun run = Cli("info " + Quoted(dir.File("c.tsl")), dir);
  ASSERT_EQ(run.status, 0);
  EXPECT_EQ(run.out,
            "version: 0xAAAC\ncards: 2\ntagged: 1\nindexFace: Arial Black\nindexSize: 10\n"
            "bodyFace: Times New Roman\nbodySize: 10\nindexBackground: 0x00F0F0F0\n"
            "bodyBackground: 0x00FFFFFF\nindexText: 0x00000000\nbodyText: 0x00000000\n");
}

TEST(Cli, BadInputAndBadUsageHaveTheirOwnExitStatus) {
  test::TempDir dir;
  test::WriteBytes(dir.File("bad.tsl"), {0xAC, 0xAA, 0x00, 0x00, 0x01});
  test::WriteBytes(dir.File("other.tsl"), {1, 2, 3, 4, 5, 6});
  CliRun run = Cli("show " + Quoted(dir.File("bad.tsl")), dir);
  EXPECT_EQ(run.status, 1);
  EXPECT_TRUE(run.out.empty());
  EXPECT_NE(run.err.find("damaged or incomplete"), std::string::npos) << run.err;
  run = Cli("info " + Quoted(dir.File("other.tsl")), dir);
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("File Error - Incompable File"), std::string::npos);
  run = Cli("convert " + Quoted(dir.File("missing.tsl")) + " " + Quoted(dir.File("o.tsl")), dir);
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("There was an error opening file"), std::string::npos);
  test::WriteBytes(dir.File("ok.tsl"), CardFileBytes(FormatSettings{}, {CardInfo("a", "", 1)}));
  run = Cli("convert " + Quoted(dir.File("ok.tsl")) + " " + Quoted(dir.File("none/o.tsl")), dir);
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("File Error - \""), std::string::npos);

  // Wrong usage: the reason, then the usage of the command, on stderr.
  const std::string ok = Quoted(dir.File("ok.tsl"));
  for (const std::string& args :
       {std::string(""), std::string("show"), std::string("frobnicate x"), "info " + ok + " b",
        "info " + ok + " --bogus", std::string("convert a"), "tag " + ok + " --all --none",
        std::string("dial --hold -5 dev 12"), "print poster " + ok + " -o o.pdf"}) {
    run = Cli(args, dir);
    EXPECT_EQ(run.status, 2) << args;
    EXPECT_TRUE(run.out.empty()) << args;
    EXPECT_EQ(run.err.rfind("tessel-cli: ", 0), 0u) << args << ": " << run.err;
    EXPECT_NE(run.err.find("Usage: tessel-cli"), std::string::npos) << args;
  }
  run = Cli("--help", dir);
  EXPECT_EQ(run.status, 0);
  EXPECT_NE(run.out.find("\n  convert "), std::string::npos) << run.out;
  run = Cli("--version", dir);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out.rfind("tessel-cli ", 0), 0u);
}

TEST(Cli, AFailureGivesTheSystemsReasonAfterItsMessage) {
  test::TempDir dir;
  CliRun run = Cli("info " + Quoted(dir.File("missing.tsl")), dir);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "tessel-cli: There was an error opening file \"" + dir.File("missing.tsl") +
                         "\": No such file or directory\n");

  // Through a link into a folder that is not there: refused, the link kept.
  test::WriteBytes(dir.File("ok.tsl"), CardFileBytes(FormatSettings{}, {CardInfo("a", "", 1)}));
  std::filesystem::create_symlink("nowhere/x.tsl", dir.File("dang.tsl"));
  run = Cli("convert " + Quoted(dir.File("ok.tsl")) + " " + Quoted(dir.File("dang.tsl")), dir);
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("No such file or directory"), std::string::npos) << run.err;
  EXPECT_TRUE(std::filesystem::is_symlink(dir.File("dang.tsl")));
}

// A file too large for the memory the tool may use is refused whole, with a
// message, wherever the memory runs out (reading, on the second thread,
// sorting, making the message): never a crash. Card files and Cardfile
// files alike; `ulimit -v` limits the address space.
TEST(Cli, AFileTooLargeForTheMemoryLeftIsRefusedWithAMessage) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the address sanitizer needs more address space than the limit leaves";
#else
  test::TempDir dir;
  std::vector<CardInfo> cards;
  for (int i = 0; i < 20000; ++i) {
    cards.emplace_back("card " + std::to_string(i), std::string(2000, 'x'), 0);
  }
  test::WriteBytes(dir.File("big.tsl"), CardFileBytes(FormatSettings{}, cards));
  std::vector<test::CrdCard> crd;
  for (int i = 0; i < 40000; ++i) crd.push_back({"card " + std::to_string(i), std::string(1000, 'x')});
  test::WriteBytes(dir.File("big.crd"), test::CrdFile(crd).v);
  const auto run = [&dir](int mib, const char* file) {
    return test::RunShell("ulimit -v " + std::to_string(mib * 1024) + "; '" + TESSEL_CLI +
                              "' info " + Quoted(dir.File(file)),
                          dir);
  };
  for (const int mib : {8, 24, 40}) {  // the texts alone need 38 MiB
    CliRun r = run(mib, "big.tsl");
    EXPECT_EQ(r.status, 1) << mib << " MiB: " << r.err;
    EXPECT_NE(r.err.find("there is not enough memory to hold its cards. Nothing was loaded"),
              std::string::npos)
        << mib << " MiB: " << r.err;
    r = run(mib, "big.crd");
    EXPECT_EQ(r.status, 1) << mib << " MiB: " << r.err;
    EXPECT_NE(r.err.find("there is not enough memory to hold its cards. Nothing was imported"),
              std::string::npos)
        << mib << " MiB: " << r.err;
  }
#endif
}

// The commands in `tessel-cli --help`.
std::vector<std::string> CommandNames(const test::TempDir& dir) {
  const CliRun help = Cli("--help", dir);
  std::vector<std::string> names;
  const std::size_t from = help.out.find("\nCommands:\n");
  std::istringstream lines(help.out.substr(from == std::string::npos ? help.out.size() : from + 11));
  for (std::string line; std::getline(lines, line) && line.starts_with("  ");) {
    names.push_back(line.substr(2, line.find(' ', 2) - 2));
  }
  return names;
}

// --help and -h, wherever they stand among a command's words, print that
// command's usage and write nothing: no word is taken as a file to write.
TEST(Cli, HelpOfEveryCommandPrintsItsUsageAndWritesNothing) {
  test::TempDir dir;    // the stderr file lives here
  test::TempDir empty;  // the commands run here
  const std::string sample = Quoted(std::string(TESSEL_SOURCE_DIR) + "/resources/sample.tsl");
  const std::vector<std::string> names = CommandNames(dir);
  ASSERT_GE(names.size(), 10u);
  const std::string here = "cd " + Quoted(empty.Path().string()) + " && ";
  for (const std::string& name : names) {
    for (const std::string& words : {name + " --help", name + " -h", name + " " + sample + " --help",
                                     name + " card " + sample + " out.tsl -o out.pdf --help"}) {
      const CliRun run = test::RunShell(here + Quoted(TESSEL_CLI) + " " + words, dir);
      EXPECT_EQ(run.status, 0) << words << ": " << run.err;
      EXPECT_NE(run.out.find("Usage: tessel-cli " + name + " "), std::string::npos) << words;
    }
  }
  // An option's value that looks like an option is never a file to write.
  const std::string print = here + Quoted(TESSEL_CLI) + " print card " + sample + " -o ";
  EXPECT_EQ(test::RunShell(print + "--help", dir).status, 0);
  EXPECT_EQ(test::RunShell(print + "-x.pdf", dir).status, 2);
  const CliRun sampleTool = test::RunShell(here + Quoted(TESSEL_MAKE_SAMPLE) + " --help", dir);
  EXPECT_EQ(sampleTool.status, 0);
  EXPECT_EQ(test::RunShell(here + Quoted(TESSEL_MAKE_SAMPLE) + " -x", dir).status, 2);
  EXPECT_EQ(empty.Names(), std::vector<std::string>{});
}

// "-" reads standard input whole, from a file or a pipe, and writes standard
// output; a file whose name starts with '-' is written only after "--".
TEST(Cli, StandardInputAndOutputAndNamesThatLookLikeOptions) {
  test::TempDir dir;
  const std::string tsl = dir.File("c.tsl");
  test::WriteBytes(tsl, CardFileBytes(FormatSettings{}, {CardInfo("b", "B", 1), CardInfo("a", "A", 0)}));
  const CliRun byName = Cli("info " + Quoted(tsl), dir);
  ASSERT_EQ(byName.status, 0);
  CliRun run = Cli("info - < " + Quoted(tsl), dir);
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, byName.out);
  run = test::RunShell("cat " + Quoted(tsl) + " | " + Quoted(TESSEL_CLI) + " show -", dir);
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(nlohmann::json::parse(run.out)["cards"][0]["index"], "a");

  ASSERT_EQ(Cli("convert " + Quoted(tsl) + " " + Quoted(dir.File("o.tsl")), dir).status, 0);
  run = Cli("convert - - < " + Quoted(tsl) + " > " + Quoted(dir.File("piped.tsl")), dir);
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(test::ReadBytes(dir.File("piped.tsl")), test::ReadBytes(dir.File("o.tsl")));
  run = Cli("export csv - - < " + Quoted(tsl), dir);
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "Index,Body,Tagged\r\na,A,0\r\nb,B,1\r\n");

  // Damage and a full disk are reported as for a file.
  test::WriteBytes(dir.File("bad.tsl"), {0xAC, 0xAA, 0x00, 0x00, 0x01});
  run = Cli("info - < " + Quoted(dir.File("bad.tsl")), dir);
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("\"standard input\" is damaged or incomplete"), std::string::npos) << run.err;
  run = Cli("show " + Quoted(tsl) + " > /dev/full", dir);
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("cannot write to standard output: No space left on device"),
            std::string::npos)
      << run.err;
  EXPECT_EQ(Cli("tag - --all < " + Quoted(tsl), dir).status, 2);

  const std::string here = "cd " + Quoted(dir.Path().string()) + " && " + Quoted(TESSEL_CLI);
  EXPECT_EQ(test::RunShell(here + " convert c.tsl -x.tsl", dir).status, 2);
  EXPECT_FALSE(std::filesystem::exists(dir.File("-x.tsl")));
  run = test::RunShell(here + " convert -- c.tsl -x.tsl", dir);
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(test::ReadBytes(dir.File("-x.tsl")), test::ReadBytes(dir.File("o.tsl")));
}

TEST(Cli, DialSendsTheDigitsToTheDeviceAndDetectFindsIt) {
  test::TempDir dir;
  test::FakeModem modem;
  CliRun run = Cli("dial --hold 0 " + Quoted(modem.Path()) + " '(0) 1-2'", dir);
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(modem.Received(), std::string("ATD012\n\r"));

  run = Cli("dial " + Quoted(modem.Path()) + " call Bob", dir);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "tessel-cli: Can not dial call Bob\n");
  run = Cli("dial " + Quoted(dir.File("none")) + " 12", dir);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "tessel-cli: No such file or directory\n");

  run = Cli("detect " + Quoted(dir.File("none")) + " " + Quoted(modem.Path()), dir);
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "2 " + modem.Path() + "\n");
  run = Cli("detect " + Quoted(dir.File("none")), dir);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "tessel-cli: Modem Not Found\n");
}

}  // namespace
}  // namespace tessel
