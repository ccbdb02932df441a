// The command-line tool, run as a user runs it.
#include <filesystem>
#include <nlohmann/json.hpp>

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

  for (const char* args : {"", "show", "frobnicate x", "info a b", "convert a"}) {
    run = Cli(args, dir);
    EXPECT_EQ(run.status, 2) << args;
    EXPECT_NE(run.err.find("Usage: tessel-cli"), std::string::npos);
  }
  run = Cli("--help", dir);
  EXPECT_EQ(run.status, 0);
  EXPECT_NE(run.out.find("convert IN OUT"), std::string::npos);
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
