#include "services/label_run.h"

namespace tessel {

int TrayCode(int tray) {
  switch (tray) {
    case kTrayAutomaticSheetFeed: return 7;
    case kTrayManualFeed: return 4;
    case kTrayTractorFeed: return 8;
    default: return 0;
  }
}

std::string LabelText(const CardInfo& card, bool indexOnLabel) {
  return indexOnLabel ? card.index + '\n' + card.body : card.body;
}

std::vector<std::string> TaggedLabelTexts(const CardCollection& cards, bool indexOnLabel) {
  std::vector<std::string> texts;
  for (const CardInfo& card : cards.Cards()) {
    if (card.tag != 0) texts.push_back(LabelText(card, indexOnLabel));
  }
  return texts;
}

LabelSlot PlaceLabel(const SheetLayout& layout, std::size_t k) {
  const std::size_t nx = layout.nx > 0 ? static_cast<std::size_t>(layout.nx) : 1;
  const std::size_t ny = layout.ny > 0 ? static_cast<std::size_t>(layout.ny) : 1;
  const std::size_t onSheet = k % (nx * ny);
  const std::size_t col = onSheet % nx;
  const std::size_t row = onSheet / nx;
  return {k / (nx * ny), layout.x0 + static_cast<double>(col) * layout.dx,
          layout.y0 + static_cast<double>(row) * layout.dy};
}

bool RunLabels(LabelEngine& engine, const std::string& labelName, int tray,
               const std::vector<std::string>& labelTexts, const FormatSettings& format,
               std::string& error) {
  const bool done = [&] {
    if (!engine.NewMainDocument() || !engine.InsertMergeField(kLabelHeader) ||
        !engine.StoreEntry(kLabelEntry) ||
        !engine.LayOutSheet(labelName, kLabelEntry, TrayCode(tray)) ||
        !engine.NewDataSource(kLabelHeader)) {
      return false;
    }
    for (const std::string& text : labelTexts) {
      if (!engine.AddRecord(text)) return false;
    }
    return engine.Merge() && engine.SetFont(format.bodyFace, static_cast<float>(format.bodySize)) &&
           engine.Print();
  }();
  if (!done) error = engine.Error();
  return done;
}

std::string LabelsCutShortText(std::size_t count) {
  return count == 1 ? "1 label was cut short: its text does not fit on the label."
                    : std::to_string(count) +
                          " labels were cut short: their text does not fit on the label.";
}

std::vector<std::string> LabelChoice::FamilyNames() const {
  const int base = FamilySlot(settings_.printerType, 0);
  return {kFamilyNames.begin() + base, kFamilyNames.begin() + base + kFamiliesPerType};
}

int LabelChoice::FamilyRow() const {
  return FamilySlot(settings_.printerType, settings_.family) % kFamiliesPerType;
}

std::vector<std::string> LabelChoice::ProductLines() const {
  std::vector<std::string> lines;
  for (const CatalogueEntry& e :
       catalogue_.Family(FamilySlot(settings_.printerType, settings_.family))) {
    lines.push_back(e.productNumber);
  }
  return lines;
}

const CatalogueEntry* LabelChoice::Chosen() const {
  return catalogue_.At(settings_.printerType, settings_.family, settings_.product);
}

}  // namespace tessel
