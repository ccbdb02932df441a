#include "services/label_catalogue.h"

#include <climits>
#include <fstream>
#include <iterator>

namespace tessel {

int FamilySlot(int printerType, int family) {
  const int base = printerType == kDotMatrix ? kFamiliesPerType : 0;
  return base + (family >= 1 && family <= 3 ? family : 0);
}

int AtoiValue(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  long long value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > static_cast<long long>(INT_MAX) + 1) value = static_cast<long long>(INT_MAX) + 1;
  }
  if (negative) return value > INT_MAX ? INT_MIN : static_cast<int>(-value);
  return value > INT_MAX ? INT_MAX : static_cast<int>(value);
}

namespace {

// Splits bytes into lines the way a text-mode reader sees them.
class LineReader {
 public:
  explicit LineReader(std::string_view bytes) : rest_(bytes) {}
  bool AtEnd() const { return rest_.empty(); }
  // The next line without its line end; empty once the bytes have ended.
  std::string Next() {
    const std::size_t lf = rest_.find('\n');
    std::string_view line = rest_.substr(0, lf);
    rest_ = lf == std::string_view::npos ? std::string_view() : rest_.substr(lf + 1);
    if (lf != std::string_view::npos && !line.empty() && line.back() == '\r') line.remove_suffix(1);
    return std::string(line);
  }

 private:
  std::string_view rest_;
};

}  // namespace

std::vector<CatalogueEntry> ParseCatalogue(std::string_view bytes) {
  std::vector<CatalogueEntry> entries;
  LineReader lines(bytes);
  const int count = AtoiValue(lines.Next());
  for (int n = 0; n < count && !lines.AtEnd(); ++n) {
    CatalogueEntry e;
    for (std::string* field : {&e.labelName, &e.productNumber, &e.type, &e.height, &e.width,
                               &e.pageSize}) {
      *field = lines.Next();
    }
    entries.push_back(std::move(e));
  }
  return entries;
}

void LabelCatalogue::Load(const std::string& folder) {
  if (loaded_) return;
  for (int slot = 0; slot < kFamilyCount; ++slot) {
    std::ifstream in(folder + "/" + kCatalogueFiles[slot], std::ios::binary);
    if (!in) continue;
    const std::string bytes{std::istreambuf_iterator<char>(in), {}};
    if (in.bad()) continue;
    families_[slot] = ParseCatalogue(bytes);
  }
  loaded_ = true;
}

std::size_t LabelCatalogue::Count(int printerType, int family) const {
  return families_[FamilySlot(printerType, family)].size();
}

const CatalogueEntry* LabelCatalogue::At(int printerType, int family, std::size_t position) const {
  const std::vector<CatalogueEntry>& f = families_[FamilySlot(printerType, family)];
  return position < f.size() ? &f[position] : nullptr;
}

const CatalogueEntry* LabelCatalogue::FindLabel(std::string_view name) const {
  for (const auto& family : families_) {
    for (const CatalogueEntry& e : family) {
      if (e.labelName == name) return &e;
    }
  }
  return nullptr;
}

void LabelCatalogue::SetFamily(int slot, std::vector<CatalogueEntry> entries) {
  families_[slot] = std::move(entries);
  loaded_ = true;
}

}  // namespace tessel
