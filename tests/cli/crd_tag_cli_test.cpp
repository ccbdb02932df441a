// tessel-cli on Cardfile files, and the tag command.
#include <nlohmann/json.hpp>

#include <sys/wait.h>
#include <unistd.h>

#include "cards/file_lock.h"

#include "rrg_writer.h"
#include "support/cli_run.h"
#include "support/crd_for_test.h"

namespace tessel {
namespace {

using test::Cli;
using test::CliRun;
using test::Quoted;

TEST(CliCardfile, ShowInfoAndConvertImportACardfileFileByItsContent) {
  test::TempDir dir;
  // Named .txt: the content decides, not the name.
  test::WriteBytes(dir.File("old.txt"),
                   test::ClassicCrdFile({{"zebra", "Z\r\nz"}, {"\xC9" "cole", "caf\xE9"}, {"Apple", ""}}).v);
  CliRun run = Cli("show " + Quoted(dir.File("old.txt")), dir);
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  const auto json = nlohmann::json::parse(run.out);
  EXPECT_EQ(json["version"], "MGC");
  EXPECT_TRUE(json["format"].is_null());
  ASSERT_EQ(json["cards"].size(), 3u);
  EXPECT_EQ(json["cards"][0], (nlohmann::json{{"index", "Apple"}, {"body", ""}, {"tag", 1}}));
  EXPECT_EQ(json["cards"][1], (nlohmann::json{{"index", "zebra"}, {"body", "Z\r\nz"}, {"tag", 1}}));
  EXPECT_EQ(json["cards"][2]["index"], "\u00C9cole");

  run = Cli("info " + Quoted(dir.File("old.txt")), dir);
  ASSERT_EQ(run.status, 0);
  EXPECT_EQ(run.out.rfind("version: MGC\ncards: 3\ntagged: 3\n", 0), 0u) << run.out;

  run = Cli("convert " + Quoted(dir.File("old.txt")) + " " + Quoted(dir.File("new.tsl")), dir);
  ASSERT_EQ(run.status, 0) << run.err;
  CardFileData data;
  ASSERT_TRUE(ParseCardFile(test::ReadBytes(dir.File("new.tsl")), data).Ok());
  EXPECT_EQ(data.format, FormatSettings{});
  ASSERT_EQ(data.cards.size(), 3u);
  EXPECT_EQ(data.cards[2], CardInfo("\xC9" "cole", "caf\xE9", 1));
}

TEST(CliCardfile, ShowAndConvertReadRrgFilesAndSayWhatWasLeftBehind) {
  test::TempDir dir;
  using tools::RrgObject;
  test::Bytes rrg;
  rrg.str(tools::RrgBytes({{"map", "see picture", RrgObject::Picture}, {"bell", "ring", RrgObject::Embedded}}));
  test::WriteBytes(dir.File("pictures.crd"), rrg.v);
  const std::string said =
      "tessel-cli: 2 cards imported; 1 picture and 1 object were not imported (Tessel cards hold text only)\n";
  CliRun run = Cli("show " + Quoted(dir.File("pictures.crd")), dir);
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, said);
  const auto json = nlohmann::json::parse(run.out);
  EXPECT_EQ(json["version"], "RRG");
  EXPECT_EQ(json["cards"][0], (nlohmann::json{{"index", "bell"}, {"body", "ring"}, {"tag", 1}}));

  run = Cli("convert " + Quoted(dir.File("pictures.crd")) + " " + Quoted(dir.File("p.tsl")), dir);
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, said);
  CardFileData data;
  ASSERT_TRUE(ParseCardFile(test::ReadBytes(dir.File("p.tsl")), data).Ok());
  EXPECT_EQ(data.cards, (std::vector<CardInfo>{CardInfo("bell", "ring", 1), CardInfo("map", "see picture", 1)}));
}

TEST(CliCardfile, DamageIsAWarningWhenCardsCameThroughAndAnErrorWhenNoneDid) {
  test::TempDir dir;
  test::Bytes cut = test::CrdFile({{"a", "A"}, {"b", "B"}}, 5);
  test::WriteBytes(dir.File("cut.crd"), cut.v);
  CliRun run = Cli("show " + Quoted(dir.File("cut.crd")), dir);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(nlohmann::json::parse(run.out)["cards"].size(), 2u);
  EXPECT_NE(run.err.find("only 2 of the 5 cards it announces were imported whole"), std::string::npos)
      << run.err;

  test::Bytes empty;
  empty.str("MGC").u32(3);
  test::WriteBytes(dir.File("empty.crd"), empty.v);
  run = Cli("convert " + Quoted(dir.File("empty.crd")) + " " + Quoted(dir.File("o.tsl")), dir);
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("Nothing was imported"), std::string::npos) << run.err;
  EXPECT_FALSE(std::filesystem::exists(dir.File("o.tsl")));

  test::WriteBytes(dir.File("other.crd"), {'R', 'R', 'H', 0, 0, 0, 0});
  run = Cli("show " + Quoted(dir.File("other.crd")), dir);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "tessel-cli: File not compatible\n");
  EXPECT_TRUE(run.out.empty());

  test::WriteBytes(dir.File("wide.crd"), {'D', 'K', 'O', 0, 0, 0, 0, 1, 0});
  run = Cli("convert " + Quoted(dir.File("wide.crd")) + " " + Quoted(dir.File("w.tsl")), dir);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "tessel-cli: Unicode Cardfile files (DKO) cannot be imported yet\n");
  EXPECT_FALSE(std::filesystem::exists(dir.File("w.tsl")));
}

class CliTag : public ::testing::Test {
 protected:
  void SetUp() override {
    test::WriteBytes(path, CardFileBytes(FormatSettings{}, {CardInfo("Ann", "1", 1), CardInfo("Bob", "2", 0),
                                                            CardInfo("Caf\xE9", "3", 1)}));
  }
  std::vector<int> Tags() {
    CardFileData data;
    EXPECT_TRUE(ParseCardFile(test::ReadBytes(path), data).Ok());
    std::vector<int> tags;
    for (const CardInfo& c : data.cards) tags.push_back(c.tag);
    return tags;
  }
  CliRun Tag(const std::string& args) { return Cli("tag " + Quoted(path) + " " + args, dir); }

  test::TempDir dir;
  std::string path = dir.File("cards.tsl");
};

TEST_F(CliTag, AllNoneAndOnlySetEveryTagAndSave) {
  EXPECT_EQ(Tag("--all").status, 0);
  EXPECT_EQ(Tags(), (std::vector<int>{1, 1, 1}));
  EXPECT_EQ(Tag("--none").status, 0);
  EXPECT_EQ(Tags(), (std::vector<int>{0, 0, 0}));
  const CliRun run = Tag("--only Bob 'Caf\xC3\xA9'");  // index texts arrive as UTF-8
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(Tags(), (std::vector<int>{0, 1, 1}));
  EXPECT_EQ(dir.Names().size(), 2u) << "no temporary file is left behind";  // cards.tsl, stderr.txt
}

TEST_F(CliTag, AnUnknownIndexOrAWrongUseLeavesTheFileAsItWas) {
  const auto before = test::ReadBytes(path);
  CliRun run = Tag("--only Ann bob");  // exact match: "bob" is not "Bob"
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("\"bob\""), std::string::npos) << run.err;
  for (const char* args : {"", "--only", "--all Ann", "--some", "--none --all"}) {
    EXPECT_EQ(Tag(args).status, 2) << args;
  }
  EXPECT_EQ(test::ReadBytes(path), before);

  test::WriteBytes(dir.File("old.crd"), test::CrdFile({{"a", "b"}}).v);
  const auto crd = test::ReadBytes(dir.File("old.crd"));
  run = Cli("tag " + Quoted(dir.File("old.crd")) + " --none", dir);
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("convert it"), std::string::npos) << run.err;
  EXPECT_EQ(test::ReadBytes(dir.File("old.crd")), crd);
}

TEST_F(CliTag, AFileOpenInTheProgramIsLeftAloneUnlessForced) {
  // The lock a running Tessel keeps beside the file (this test's process
  // stands in for it).
  const std::string lock = dir.File(".cards.tsl.lock");
  const std::string holder = std::to_string(::getpid()) + "\ntessel\n" + ThisHost() + "\n";
  test::WriteBytes(lock, std::vector<uint8_t>(holder.begin(), holder.end()));
  const auto before = test::ReadBytes(path);
  const std::string names = "cards.tsl is open in Tessel on " + ThisHost() + " (process " +
                            std::to_string(::getpid()) + ")";
  CliRun run = Tag("--none");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find(names), std::string::npos) << run.err;
  run = Cli("convert " + Quoted(path) + " " + Quoted(path), dir);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(test::ReadBytes(path), before);

  EXPECT_EQ(Tag("--none --force").status, 0);
  EXPECT_EQ(Tags(), (std::vector<int>{0, 0, 0}));

  // A lock whose process is gone holds nothing.
  const pid_t gone = ::fork();
  if (gone == 0) ::_exit(0);
  ::waitpid(gone, nullptr, 0);
  const std::string stale = std::to_string(gone) + "\ntessel\n" + ThisHost() + "\n";
  test::WriteBytes(lock, std::vector<uint8_t>(stale.begin(), stale.end()));
  EXPECT_EQ(Tag("--all").status, 0);
  EXPECT_EQ(Tags(), (std::vector<int>{1, 1, 1}));
}

}  // namespace
}  // namespace tessel
