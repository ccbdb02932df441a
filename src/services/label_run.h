// A label run: the tagged cards handed to a label engine in a fixed order of
// steps, and the choices of the Labels dialog that feed it.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "cards/card_collection.h"
#include "cards/format_settings.h"
#include "services/label_catalogue.h"

namespace tessel {

inline constexpr char kLabelHeader[] = "Name";
inline constexpr char kLabelEntry[] = "LabelText";

// Tray list positions of the Labels dialog.
inline constexpr int kTrayDefault = 0;
inline constexpr int kTrayAutomaticSheetFeed = 1;
inline constexpr int kTrayManualFeed = 2;
inline constexpr int kTrayTractorFeed = 3;
inline constexpr std::array<const char*, 4> kTrayNames = {"Default tray", "Automatic Sheet Feed",
                                                          "Manual Feed", "Tractor Feed"};

// The paper-source code a tray position stands for: 7, 4, 8, else 0.
int TrayCode(int tray);

// A card's label text: index, LF and body with the index on the label, else
// the body alone.
std::string LabelText(const CardInfo& card, bool indexOnLabel);

// The label texts of the tagged cards, in collection order.
std::vector<std::string> TaggedLabelTexts(const CardCollection& cards, bool indexOnLabel);

// The choices of the Labels dialog; they last for the program run.
struct LabelSettings {
  int printerType = kLaserInkJet;
  bool indexOnLabel = false;
  int tray = kTrayDefault;
  int family = 0;
  std::size_t product = 0;

  bool operator==(const LabelSettings&) const = default;
};

// What prints the labels. The calls come in this order, each once, except
// AddRecord once per label; a false return stops the run and Error() says
// why. An engine may do its work in any of the steps.
class LabelEngine {
 public:
  virtual ~LabelEngine() = default;
  // A new label document with one merge field.
  virtual bool NewMainDocument() = 0;
  virtual bool InsertMergeField(const std::string& header) = 0;
  // The document's text kept under `entry`.
  virtual bool StoreEntry(const std::string& entry) = 0;
  // A sheet of the product `labelName` laid out with the entry's text, fed
  // from the paper source `trayCode`.
  virtual bool LayOutSheet(const std::string& labelName, const std::string& entry,
                           int trayCode) = 0;
  // The data the merge reads: one column `header`, then one record per label.
  virtual bool NewDataSource(const std::string& header) = 0;
  virtual bool AddRecord(const std::string& labelText) = 0;
  virtual bool Merge() = 0;
  // The merged labels take the card file's body font (Windows-1252 face).
  virtual bool SetFont(const std::string& face, float size) = 0;
  virtual bool Print() = 0;
  virtual std::string Error() const = 0;
};

// The end of a run whose texts did not all fit their labels: how many labels
// show only the lines that fit.
std::string LabelsCutShortText(std::size_t count);

// Where labels sit on a sheet, in points from the sheet's top left corner:
// nx labels across, ny down, the first at (x0, y0), the next ones dx and dy
// further on.
struct SheetLayout {
  int nx = 1;
  int ny = 1;
  double x0 = 0, y0 = 0, dx = 0, dy = 0;
};

struct LabelSlot {
  std::size_t sheet = 0;
  double x = 0, y = 0;
  bool operator==(const LabelSlot&) const = default;
};

// Label k in reading order: column k mod nx, row k div nx, a new sheet after
// nx * ny labels. A product with one label across prints one label per row.
LabelSlot PlaceLabel(const SheetLayout& layout, std::size_t k);

// Runs the steps for `labelName`. False when a step failed; `error` then
// holds the engine's reason.
bool RunLabels(LabelEngine& engine, const std::string& labelName, int tray,
               const std::vector<std::string>& labelTexts, const FormatSettings& format,
               std::string& error);

// The Labels dialog's state without widgets: which families and products it
// lists, which entry it shows and whether it can print.
class LabelChoice {
 public:
  LabelChoice(const LabelCatalogue& catalogue, const LabelSettings& settings)
      : catalogue_(catalogue), settings_(settings) {}

  const LabelSettings& Settings() const { return settings_; }

  // Printer type switch: family index and product position stay as they are.
  void SetPrinterType(int type) { settings_.printerType = type; }
  void SetIndexOnLabel(bool on) { settings_.indexOnLabel = on; }
  void SetTray(int tray) { settings_.tray = tray; }
  // A new family starts at its first product.
  void SetFamily(int family) {
    settings_.family = family;
    settings_.product = 0;
  }
  void SetProduct(std::size_t position) { settings_.product = position; }

  bool TrayEnabled() const { return settings_.printerType != kDotMatrix; }
  std::vector<std::string> FamilyNames() const;
  // The family-list row the dialog selects (family indexes past 3 show as 0).
  int FamilyRow() const;
  std::vector<std::string> ProductLines() const;
  // The chosen entry; nullptr when the family is empty or the position lies
  // past its end (after a printer-type switch). Nothing is shown then, and
  // Print is off, so no label name from another family is ever used.
  const CatalogueEntry* Chosen() const;
  bool CanPrint() const { return Chosen() != nullptr; }

 private:
  const LabelCatalogue& catalogue_;
  LabelSettings settings_;
};

}  // namespace tessel
