#include "services/label_run.h"

#include <gtest/gtest.h>

#include "support/cards_for_test.h"
#include "support/label_catalogue_for_test.h"

namespace tessel {
namespace {

// Records every call with its data; fails at the call named `failAt`.
class RecordingEngine final : public LabelEngine {
 public:
  std::vector<std::string> calls;
  std::string failAt;

  bool NewMainDocument() override { return Note("NewMainDocument"); }
  bool InsertMergeField(const std::string& header) override {
    return Note("InsertMergeField " + header);
  }
  bool StoreEntry(const std::string& entry) override { return Note("StoreEntry " + entry); }
  bool LayOutSheet(const std::string& labelName, const std::string& entry, int trayCode) override {
    return Note("LayOutSheet " + labelName + "|" + entry + "|" + std::to_string(trayCode));
  }
  bool NewDataSource(const std::string& header) override { return Note("NewDataSource " + header); }
  bool AddRecord(const std::string& text) override { return Note("AddRecord " + text); }
  bool Merge() override { return Note("Merge"); }
  bool SetFont(const std::string& face, float size) override {
    return Note("SetFont " + face + "|" + std::to_string(size));
  }
  bool Print() override { return Note("Print"); }
  std::string Error() const override { return "failed at " + failAt; }

 private:
  bool Note(const std::string& call) {
    calls.push_back(call);
    return call.rfind(failAt, 0) != 0 || failAt.empty();
  }
};

TEST(LabelRun, StepsInOrderWithTheBoundData) {
  CardCollection cards = Cards({{"Bob", "Main St 2"}, {"Ann", "Tel 1"}, {"Cy", "x"}});
  cards.SortCards();
  cards.SetTag(1, 0);  // Bob
  FormatSettings format;
  format.bodyFace = "Courier New";
  format.bodySize = 12;
  RecordingEngine engine;
  std::string error;
  ASSERT_TRUE(RunLabels(engine, "Avery 5160", kTrayManualFeed, TaggedLabelTexts(cards, true),
                        format, error));
  EXPECT_EQ(engine.calls, (std::vector<std::string>{
                              "NewMainDocument", "InsertMergeField Name", "StoreEntry LabelText",
                              "LayOutSheet Avery 5160|LabelText|4", "NewDataSource Name",
                              "AddRecord Ann\nTel 1", "AddRecord Cy\nx", "Merge",
                              "SetFont Courier New|12.000000", "Print"}));
}

TEST(LabelRun, NoTaggedCardStillMergesAndPrints) {
  CardCollection cards = Cards({{"Ann", "Tel 1"}});
  cards.SetTag(0, 0);
  RecordingEngine engine;
  std::string error;
  ASSERT_TRUE(RunLabels(engine, "Dymo 99010", kTrayDefault, TaggedLabelTexts(cards, false),
                        FormatSettings(), error));
  EXPECT_EQ(engine.calls.size(), 8u);
  EXPECT_EQ(engine.calls[3], "LayOutSheet Dymo 99010|LabelText|0");
  EXPECT_EQ(engine.calls.back(), "Print");
}

TEST(LabelRun, AFailingStepStopsTheRunWithTheEngineReason) {
  RecordingEngine engine;
  engine.failAt = "LayOutSheet";
  std::string error;
  EXPECT_FALSE(RunLabels(engine, "Nope 1", kTrayDefault, {"a"}, FormatSettings(), error));
  EXPECT_EQ(error, "failed at LayOutSheet");
  EXPECT_EQ(engine.calls.size(), 4u);
}

TEST(LabelRun, LabelTextsAndTrayCodes) {
  const CardInfo card("Ann", "Tel 1\r\nFax 2", 1);
  EXPECT_EQ(LabelText(card, true), "Ann\nTel 1\r\nFax 2");
  EXPECT_EQ(LabelText(card, false), "Tel 1\r\nFax 2");
  EXPECT_EQ(TrayCode(kTrayDefault), 0);
  EXPECT_EQ(TrayCode(kTrayAutomaticSheetFeed), 7);
  EXPECT_EQ(TrayCode(kTrayManualFeed), 4);
  EXPECT_EQ(TrayCode(kTrayTractorFeed), 8);
  EXPECT_EQ(TrayCode(9), 0);
  EXPECT_EQ(TrayCode(-1), 0);
}

TEST(LabelChoiceRules, OpensWithThePreviousChoicesAndShowsTheirEntry) {
  const LabelCatalogue catalogue = SmallLabelCatalogue();
  LabelSettings previous;
  previous.product = 2;
  previous.tray = kTrayManualFeed;
  LabelChoice choice(catalogue, previous);
  EXPECT_TRUE(choice.TrayEnabled());
  EXPECT_EQ(choice.FamilyNames(), (std::vector<std::string>{"Avery Standard", "Avery A4 and A5 sizes",
                                                            "MACO Standard", "Other"}));
  EXPECT_EQ(choice.ProductLines(), (std::vector<std::string>{"5160", "5161", "5162"}));
  ASSERT_TRUE(choice.CanPrint());
  EXPECT_EQ(choice.Chosen()->labelName, "Avery 5162");
  EXPECT_EQ(choice.Settings(), previous);
}

TEST(LabelChoiceRules, FamilyChangeResetsProductPrinterSwitchKeepsBoth) {
  const LabelCatalogue catalogue = SmallLabelCatalogue();
  LabelChoice choice(catalogue, LabelSettings());
  choice.SetProduct(2);
  choice.SetFamily(1);
  EXPECT_EQ(choice.Settings().product, 0u);
  EXPECT_EQ(choice.Chosen()->labelName, "Avery L7160");

  choice.SetFamily(3);
  choice.SetProduct(0);
  choice.SetTray(kTrayTractorFeed);
  choice.SetPrinterType(kDotMatrix);
  EXPECT_FALSE(choice.TrayEnabled());
  EXPECT_EQ(choice.Settings().family, 3);
  EXPECT_EQ(choice.Settings().tray, kTrayTractorFeed);  // still handed on
  EXPECT_EQ(choice.FamilyNames()[3], "CoStar LabelWriter");
  EXPECT_EQ(choice.Chosen()->labelName, "Dymo 99010");
}

TEST(LabelChoiceRules, EmptyFamilyOrPositionPastTheEndChoosesNothing) {
  const LabelCatalogue catalogue = SmallLabelCatalogue();
  LabelChoice choice(catalogue, LabelSettings());
  choice.SetFamily(2);  // MACO: empty here
  EXPECT_TRUE(choice.ProductLines().empty());
  EXPECT_EQ(choice.Chosen(), nullptr);
  EXPECT_FALSE(choice.CanPrint());

  // Product 2 of Avery Standard, then dot matrix, whose family 0 is empty,
  // then back: the position is kept and shows again.
  choice.SetFamily(0);
  choice.SetProduct(2);
  choice.SetPrinterType(kDotMatrix);
  EXPECT_FALSE(choice.CanPrint());
  choice.SetFamily(3);
  choice.SetProduct(2);  // past CoStar's one entry
  EXPECT_EQ(choice.Chosen(), nullptr);
  choice.SetPrinterType(kLaserInkJet);
  EXPECT_EQ(choice.FamilyRow(), 3);
  choice.SetFamily(9);  // an index past the list means family 0
  EXPECT_EQ(choice.FamilyRow(), 0);
  EXPECT_EQ(choice.ProductLines().size(), 3u);
}

}  // namespace
}  // namespace tessel

namespace tessel {
namespace {

TEST(LabelPlacement, ReadingOrderAcrossThenDownThenNextSheet) {
  const SheetLayout avery5160{3, 10, 11.25, 36, 200.25, 72};
  EXPECT_EQ(PlaceLabel(avery5160, 0), (LabelSlot{0, 11.25, 36}));
  EXPECT_EQ(PlaceLabel(avery5160, 2), (LabelSlot{0, 11.25 + 2 * 200.25, 36}));
  EXPECT_EQ(PlaceLabel(avery5160, 3), (LabelSlot{0, 11.25, 108}));
  EXPECT_EQ(PlaceLabel(avery5160, 29), (LabelSlot{0, 11.25 + 2 * 200.25, 36 + 9 * 72}));
  EXPECT_EQ(PlaceLabel(avery5160, 30), (LabelSlot{1, 11.25, 36}));
  // One label across: one per row; a roll of single labels: one per sheet.
  EXPECT_EQ(PlaceLabel({1, 7, 4.5, 4.5, 198, 49.5}, 8), (LabelSlot{1, 4.5, 54}));
  EXPECT_EQ(PlaceLabel({1, 1, 0, 0, 25, 54}, 5), (LabelSlot{5, 0, 0}));
  // A damaged layout never divides by zero.
  EXPECT_EQ(PlaceLabel({0, -1, 0, 0, 10, 10}, 2), (LabelSlot{2, 0, 0}));
}

}  // namespace
}  // namespace tessel
