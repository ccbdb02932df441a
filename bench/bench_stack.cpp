// Times the card stack on screen with a large file, offscreen: Next,
// Previous and a click on a back card, each with the repaint it causes; the
// card list menu; and opening a 100,000-card file until the window is drawn.
// Usage: bench_stack [cards]
#include <QApplication>
#include <QElapsedTimer>
#include <QMenu>
#include <QTest>
#include <QWidget>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "bench_data.h"
#include "cards/card_file.h"
#include "cards/file_io.h"
#include "stack/ui/card_stack_view.h"
#include "stack/ui/card_windows.h"

namespace {

class NullHost : public tessel::CardStackHost {
 public:
  void PrintFrontCard() override {}
  void MailFrontCard() override {}
  void DialNumber(const std::string&) override {}
  void OverwriteChanged(bool) override {}
  void FormatTargetChanged() override {}
  void OpenLink(const QUrl&) override {}
};

class StderrReporter : public tessel::ErrorReporter {
 public:
  void ShowError(const std::string& text) override { std::fprintf(stderr, "%s\n", text.c_str()); }
};

template <class Step>
void Report(const char* what, int runs, Step step) {
  std::vector<double> ms;
  for (int i = 0; i < runs; ++i) {
    QElapsedTimer t;
    t.start();
    step();
    ms.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
  }
  std::sort(ms.begin(), ms.end());
  std::printf("%-44s median %8.2f ms   max %8.2f ms   (%d runs)\n", what, ms[ms.size() / 2],
              ms.back(), runs);
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const std::size_t n = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 100000;

  const std::string path =
      (std::filesystem::temp_directory_path() / "tessel-bench-stack.tsl").string();
  {
    const std::vector<uint8_t> bytes =
        tessel::CardFileBytes(tessel::FormatSettings{}, tessel::bench::MakeCards(n));
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return 1;
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  }
  std::printf("%zu cards\n", n);

  QWidget window;
  window.resize(1000, 720);
  tessel::CardCollection cards;
  tessel::FormatSettings format;
  NullHost host;
  tessel::CardStackView view(&window, cards, format, host);
  StderrReporter errors;

  Report("open file, show and paint the window", 1, [&] {
    cards.SetClientHeight(720);
    if (!tessel::ReadCardFile(cards, format, path, errors)) std::exit(1);
    view.ApplyIndexFont(format.indexFace, format.indexSize);
    view.ApplyBodyFormat();
    window.show();
    window.repaint();
  });
  std::filesystem::remove(path);

  const int runs = 200;
  Report("Next + repaint", runs, [&] {
    view.Next();
    window.repaint();
  });
  Report("Previous + repaint", runs, [&] {
    view.Previous();
    window.repaint();
  });
  Report("click back card 10 + repaint", runs, [&] {
    QTest::mouseClick(view.Back(10), Qt::LeftButton, {}, QPoint(20, 10));
    window.repaint();
  });
  Report("card list menu: build (2,000 items)", 3, [&] {
    QMenu* menu = view.CreateCardListMenu(&window);
    delete menu;
  });
  Report("card list menu: build and size for popup", 1, [&] {
    QMenu* menu = view.CreateCardListMenu(&window);
    (void)menu->sizeHint();
    delete menu;
  });
  return 0;
}
