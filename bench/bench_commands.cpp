// Times Go To with no match and Find Next with no hit through the main
// window, offscreen, on a 100,000-card file: dialog answered, search, the
// message box answered, states updated.
// Usage: bench_commands [cards]
#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <vector>

#include "services/ui/dialogs.h"
#include "app/ui/main_window.h"
#include "bench_window.h"
#include "cards/card_file.h"
#include "stack/ui/card_dialogs.h"

namespace {

class MemorySettings : public tessel::SettingsStore {
 public:
  std::string GetString(const std::string& name, const std::string& fallback) const override {
    const auto it = strings_.find(name);
    return it == strings_.end() ? fallback : it->second;
  }
  int GetInt(const std::string&, int fallback) const override { return fallback; }
  void WriteString(const std::string& name, const std::string& value) override {
    strings_[name] = value;
  }
  void WriteInt(const std::string&, int) override {}

 private:
  std::map<std::string, std::string> strings_;
};

// Opens the one file, types the Go To text and answers every message.
class BenchDialogs : public tessel::Dialogs {
 public:
  QString path;
  QString goToText;
  int messages = 0;
  QMessageBox::StandardButton Message(QWidget*, QMessageBox::Icon, const QString&,
                                      const QString&, QMessageBox::StandardButtons,
                                      const QString& = QString()) override {
    ++messages;
    return QMessageBox::Ok;
  }
  int Choose(QWidget*, QMessageBox::Icon, const QString&, const QString&, const QStringList&, int,
             int escape) override {
    ++messages;
    return escape;
  }
  void Notice(QWidget*, const QString&, const QString&) override { ++messages; }
  QString OpenFileName(QWidget*, const std::optional<QString>&,
                       const tessel::FileKind&) override {
    return path;
  }
  QString SaveFileName(QWidget*, const std::optional<QString>&,
                       const tessel::FileKind&) override {
    return {};
  }
  int RunModal(QDialog& dialog) override {
    if (auto* goTo = qobject_cast<tessel::GoToDialog*>(&dialog)) goTo->Edit()->setText(goToText);
    return QDialog::Accepted;
  }
  bool OpenUrl(const QUrl&, std::function<void()> = {}) override { return false; }
};

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const std::size_t n = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 100000;

  const std::string path = tessel::bench::WriteTemporaryCardFile("tessel-bench-commands.tsl", n);
  if (path.empty()) return 1;

  MemorySettings settings;
  BenchDialogs dialogs;
  dialogs.path = QString::fromStdString(path);
  tessel::MainWindow window(settings, dialogs);
  window.show();
  window.RunCommand(tessel::CommandId::Open);
  std::filesystem::remove(path);
  if (window.Cards().Size() != n) return 1;

  // Index texts are letters only and bodies letters and blanks: no hit.
  dialogs.goToText = QStringLiteral("no-such-card");
  tessel::bench::Report("Go To, no match (dialog, search, message)", 20,
         [&] { window.RunCommand(tessel::CommandId::GoTo); });
  window.SetSearchText("no-such-text");
  tessel::bench::Report("Find Next, no hit (search, message)", 20,
         [&] { window.RunCommand(tessel::CommandId::FindNext); });
  if (dialogs.messages != 40) {
    std::fprintf(stderr, "expected 40 messages, saw %d\n", dialogs.messages);
    return 1;
  }
  window.Cards().MarkUnchanged();
  return 0;
}
