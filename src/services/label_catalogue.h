// The label products offered by the Labels dialog: eight plain-text files,
// one per printer type and family, read once and then kept for the run.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tessel {

// One label product; every field is kept as the file holds it.
struct CatalogueEntry {
  std::string labelName;      // the product name the label engine is given
  std::string productNumber;  // the line of the dialog's product list
  std::string type;
  std::string height;
  std::string width;
  std::string pageSize;

  bool operator==(const CatalogueEntry&) const = default;
};

inline constexpr int kDotMatrix = 0;
inline constexpr int kLaserInkJet = 1;
inline constexpr int kFamiliesPerType = 4;
inline constexpr int kFamilyCount = 8;

// Families in load order: laser and ink jet 0 to 3, then dot matrix 0 to 3.
inline constexpr std::array<const char*, kFamilyCount> kCatalogueFiles = {
    "AStd.txt", "AA4A5.txt", "MACO.txt", "other.txt",
    "AStdDot.txt", "AIntUK.txt", "AIntF.txt", "CoStar.txt"};
inline constexpr std::array<const char*, kFamilyCount> kFamilyNames = {
    "Avery Standard", "Avery A4 and A5 sizes", "MACO Standard", "Other",
    "Avery Standard", "Avery International (UK)", "Avery International (France)",
    "CoStar LabelWriter"};

// The slot of (printer type, family index) in the tables above. Family
// indexes other than 1, 2 and 3 mean family 0; printer type 0 is dot matrix,
// any other value laser and ink jet.
int FamilySlot(int printerType, int family);

// The number at the start of a line as C's atoi reads it: leading blanks, an
// optional sign, then digits up to the first non-digit; 0 without digits.
// Out-of-range values stop at the int limits.
int AtoiValue(std::string_view text);

// Entries of one catalogue file's bytes: a count, then six lines per entry
// (LF or CR LF line ends). Lines missing at the end read as empty texts, but
// an entry is only made while the file still has a line for it, so a count
// larger than the file can hold costs nothing.
std::vector<CatalogueEntry> ParseCatalogue(std::string_view bytes);

class LabelCatalogue {
 public:
  // Reads the eight files from `folder` (no trailing separator needed). A
  // missing or unreadable file leaves its family empty. Loads once: later
  // calls keep what the first one read.
  void Load(const std::string& folder);
  bool Loaded() const { return loaded_; }

  std::size_t Count(int printerType, int family) const;
  // nullptr when `position` is past the family's last entry.
  const CatalogueEntry* At(int printerType, int family, std::size_t position) const;
  const std::vector<CatalogueEntry>& Family(int slot) const { return families_[slot]; }
  // The first entry anywhere whose label name is `name`, or nullptr.
  const CatalogueEntry* FindLabel(std::string_view name) const;

  // For tests: sets a family's entries and marks the catalogue loaded.
  void SetFamily(int slot, std::vector<CatalogueEntry> entries);

 private:
  std::array<std::vector<CatalogueEntry>, kFamilyCount> families_;
  bool loaded_ = false;
};

}  // namespace tessel
