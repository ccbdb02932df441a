#include "app/placement.h"

#include <gtest/gtest.h>

#include "support/test_support.h"

namespace tessel {
namespace {

using test::MemoryStore;

StackRect Loaded(const char* stored) {
  MemoryStore store;
  if (stored) store.values[kMainWindowPos] = stored;
  return LoadWindowPlacement(store);
}

TEST(Placement, LoadsSixFieldsOrFallsBackToTheDefault) {
  EXPECT_EQ(Loaded("0:1:10:20:530:400"), (StackRect{10, 20, 530, 400}));
  EXPECT_EQ(Loaded("0:1:10:20:530"), (StackRect{100, 100, 612, 428}));
  EXPECT_EQ(Loaded("0:1:0x10:20:530:400"), (StackRect{16, 20, 530, 400}));
  EXPECT_EQ(Loaded("0:1:010:-20:0X1f:+400 trailing"), (StackRect{8, -20, 31, 400}));
  EXPECT_EQ(Loaded(" 2: 3:\t4: 5: 6: 7"), (StackRect{4, 5, 6, 7}));
  EXPECT_EQ(Loaded(nullptr), kDefaultWindowRect);
  EXPECT_EQ(Loaded(""), kDefaultWindowRect);
  EXPECT_EQ(Loaded("0:1:10:20:530 :400"), kDefaultWindowRect);  // no blank before a colon
  EXPECT_EQ(Loaded("0:1:10:20:530:x"), kDefaultWindowRect);
  EXPECT_EQ(Loaded("0:1:10:20:09:400"), kDefaultWindowRect);  // '9' ends an octal field
}

TEST(Placement, ScanMatchesTheRuntimeConversion) {
  EXPECT_EQ(ScanIntegers("0x:5", ':', 6), std::vector<int>{0});  // "0" read, 'x' left over
  EXPECT_EQ(ScanIntegers("4294967297", ':', 6), std::vector<int>{1});  // wraps at 32 bits
  EXPECT_EQ(ScanIntegers("-0x10:077", ':', 6), (std::vector<int>{-16, 63}));
  EXPECT_EQ(ScanIntegers("1:2:3", ':', 2), (std::vector<int>{1, 2}));
  EXPECT_TRUE(ScanIntegers("-", ':', 6).empty());
}

TEST(Placement, SavesOnlyInTheNormalState) {
  MemoryStore store;
  store.values[kMainWindowPos] = "keep";
  SaveWindowPlacement(store, {2, ShowState::Maximized, {1, 2, 3, 4}});
  SaveWindowPlacement(store, {0, ShowState::Minimized, {1, 2, 3, 4}});
  EXPECT_EQ(store.values[kMainWindowPos], "keep");
  SaveWindowPlacement(store, {2, ShowState::Normal, {-5, 20, 530, 400}});
  EXPECT_EQ(store.values[kMainWindowPos], "2:1:-5:20:530:400");
  EXPECT_EQ(LoadWindowPlacement(store), (StackRect{-5, 20, 530, 400}));
}

TEST(Placement, CommandLineIsTheArgumentsJoinedByBlanks) {
  const char* argv[] = {"tessel", "My", "Cards.tsl"};
  EXPECT_EQ(CommandLineText(3, argv), "My Cards.tsl");
  EXPECT_EQ(CommandLineText(1, argv), "");
  const char* quoted[] = {"tessel", "\"a b.tsl\""};
  EXPECT_EQ(CommandLineText(2, quoted), "\"a b.tsl\"");
}

}  // namespace
}  // namespace tessel
