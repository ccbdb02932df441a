// Help > About: the program's icon, name and version, maker and years.
#pragma once

#include <QDialog>

namespace tessel {

inline constexpr char kAboutYears[] = "2024-2025";

class AboutBox : public QDialog {
 public:
  explicit AboutBox(QWidget* parent = nullptr);
};

}  // namespace tessel
