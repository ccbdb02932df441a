// Times the card stack on screen with a large file, offscreen: Next,
// Previous and a click on a back card, each with the repaint it causes; the
// card list menu; and opening a 100,000-card file until the window is drawn.
// Usage: bench_stack [cards]
#include <QApplication>
#include <QMenu>
#include <QTest>
#include <QWidget>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "bench_window.h"
#include "cards/card_file.h"
#include "cards/file_io.h"
#include "stack/ui/card_stack_view.h"
#include "stack/ui/card_windows.h"

namespace {

class NullHost : public tessel::CardStackHost {
 public:
  void OverwriteChanged(bool) override {}
  void FormatTargetChanged() override {}
  void OpenLink(const QUrl&) override {}
};

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const std::size_t n = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 100000;

  const std::string path = tessel::bench::WriteTemporaryCardFile("tessel-bench-stack.tsl", n);
  if (path.empty()) return 1;

  QWidget window;
  window.resize(1000, 720);
  tessel::CardCollection cards;
  tessel::FormatSettings format;
  NullHost host;
  tessel::CardStackView view(&window, cards, format, host, {});
  tessel::bench::StderrReporter errors;

  tessel::bench::Report("open file, show and paint the window", 1, [&] {
    cards.SetClientHeight(720);
    if (!errors(tessel::ReadCardFile(cards, format, path))) std::exit(1);
    view.ApplyIndexFont(format.indexFace, format.indexSize);
    view.ApplyBodyFormat();
    window.show();
    window.repaint();
  });
  std::filesystem::remove(path);

  const int runs = 200;
  tessel::bench::Report("Next + repaint", runs, [&] {
    view.Next();
    window.repaint();
  });
  tessel::bench::Report("Previous + repaint", runs, [&] {
    view.Previous();
    window.repaint();
  });
  tessel::bench::Report("click back card 10 + repaint", runs, [&] {
    QTest::mouseClick(view.Back(10), Qt::LeftButton, {}, QPoint(20, 10));
    window.repaint();
  });
  tessel::bench::Report("card list menu: build (2,000 items)", 3, [&] {
    QMenu* menu = view.CreateCardListMenu(&window);
    delete menu;
  });
  tessel::bench::Report("card list menu: build and size for popup", 1, [&] {
    QMenu* menu = view.CreateCardListMenu(&window);
    (void)menu->sizeHint();
    delete menu;
  });
  return 0;
}
