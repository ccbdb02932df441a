// Times a card with a 1 MB body in the main window, offscreen: opening the
// file until the window is painted, one keystroke in the middle of the body
// with its repaint, and the processor time the idle window takes while its
// 500 ms timer runs. With text in lines, with the same text as one
// paragraph and with one unbroken 1 MB word.
// Usage: bench_body [bytes] [lines|paragraph|word]
#include <sys/resource.h>

#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "app/ui/main_window.h"
#include "bench_window.h"
#include "cards/card_file.h"
#include "services/ui/dialogs.h"
#include "services/ui/qt_settings_store.h"
#include "stack/ui/body_editor.h"

namespace {

std::string OrdinaryText(std::size_t bytes) {
  std::string text;
  const char* words[] = {"card", "index", "stack", "the", "of", "address", "telephone", "notes"};
  for (std::size_t i = 0; text.size() < bytes; ++i) {
    text += words[(i * 7 + i / 3) % 8];
    text += " ";
  }
  text.resize(bytes);
  return text;
}

// The same words in lines of about 70 characters, as typed notes are.
std::string TextInLines(std::size_t bytes) {
  std::string text = OrdinaryText(bytes);
  for (std::size_t i = 70; i + 1 < text.size(); i += 72) {
    text[i] = '\r';
    text[i + 1] = '\n';
  }
  return text;
}

double CpuMs() {
  rusage u{};
  ::getrusage(RUSAGE_SELF, &u);
  return (u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1e3 +
         (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e3;
}

void Run(const char* what, const std::string& body) {
  std::printf("-- %s\n", what);
  const std::string path =
      (std::filesystem::temp_directory_path() / "tessel-bench-body.tsl").string();
  {
    tessel::CardCollection cards;
    cards.AppendCards({tessel::CardInfo("big", body, 1), tessel::CardInfo("small", "x", 1)});
    tessel::FormatSettings format;
    if (!tessel::bench::StderrReporter()(tessel::WriteCardFile(cards, format, path))) std::exit(1);
  }
  tessel::QtSettingsStore settings(QStringLiteral("tessel-bench-body"));
  tessel::QtDialogs dialogs;
  tessel::MainWindow window(settings, dialogs);
  window.resize(800, 600);
  window.show();
  QApplication::processEvents();

  tessel::bench::Report("open the file, show and paint the window", 1, [&] {
    window.LoadCommandLine(path);
    QApplication::processEvents();
    window.repaint();
  });
  std::filesystem::remove(path);
  tessel::BodyEditor* editor = window.StackView().FrontBody();
  if (!editor || window.Cards().At(0).body.size() != body.size()) std::exit(1);
  editor->setFocus();
  QTextCursor cursor = editor->textCursor();
  cursor.setPosition(static_cast<int>(body.size() / 2));
  editor->setTextCursor(cursor);
  QApplication::processEvents();

  tessel::bench::Report("one keystroke in the middle, with repaint", 20, [&] {
    QTest::keyClick(editor, Qt::Key_A);
    QApplication::processEvents();
    editor->viewport()->repaint();
  });
  if (window.Cards().At(0).body.size() != body.size() + 20) {
    std::fprintf(stderr, "the keystrokes did not reach the card\n");
    std::exit(1);
  }

  QTest::qWait(600);  // let posted work settle
  const double before = CpuMs();
  QElapsedTimer wall;
  wall.start();
  QTest::qWait(5000);
  const double cpu = CpuMs() - before;
  std::printf("%-44s %8.2f ms per second\n", "processor time while idle", cpu * 1000.0 / static_cast<double>(wall.elapsed()));
  window.Cards().MarkUnchanged();
  window.close();
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QTemporaryDir settingsDir;
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
  QApplication app(argc, argv);
  const std::size_t bytes = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 1000000;
  const std::string only = argc > 2 ? argv[2] : "";  // one case alone, for a profiler
  if (only.empty() || only == "lines") Run("text in lines", TextInLines(bytes));
  if (only.empty() || only == "paragraph") Run("text in one paragraph", OrdinaryText(bytes));
  if (only.empty() || only == "word") Run("one word without blanks", std::string(bytes, 'x'));
  return 0;
}
