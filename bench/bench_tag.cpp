// Times the Tag Cards dialog on 100,000 cards, offscreen: opening it (built,
// laid out, shown and painted), a step of sideways scrolling with its
// repaint, and Tag > None with its repaint.
// Usage: bench_tag [cards]
#include <QApplication>
#include <QListView>
#include <QScrollBar>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "bench_data.h"
#include "bench_window.h"
#include "output/ui/tag_dialog.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const std::size_t n = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 100000;
  tessel::CardCollection cards;
  cards.AppendCards(tessel::bench::MakeCards(n));
  cards.SortCards();
  std::printf("%zu cards\n", n);

  using tessel::bench::Report;
  std::unique_ptr<tessel::TagDialog> dialog;
  Report("open the dialog (build, show, paint)", 10, [&] {
    dialog = std::make_unique<tessel::TagDialog>(cards);
    dialog->show();
    dialog->repaint();
    dialog->List()->viewport()->repaint();
    QApplication::processEvents();
    // Laid out through the last card: the scroll range covers every column.
    if (dialog->List()->horizontalScrollBar()->maximum() <
        static_cast<int>(n / 20) * tessel::kTagColumnWidth) {
      std::fprintf(stderr, "the list was not laid out\n");
      std::exit(1);
    }
    dialog.reset();
  });

  tessel::TagDialog open(cards);
  open.resize(800, 600);
  open.show();
  QApplication::processEvents();
  QScrollBar* bar = open.List()->horizontalScrollBar();
  int value = 0;
  Report("scroll one column sideways + repaint", 50, [&] {
    value = (value + tessel::kTagColumnWidth) % (bar->maximum() + 1);
    bar->setValue(value);
    open.List()->viewport()->repaint();
  });
  Report("jump to the last column + repaint", 20, [&] {
    bar->setValue(bar->value() == bar->maximum() ? 0 : bar->maximum());
    open.List()->viewport()->repaint();
  });
  Report("Tag > None + repaint", 20, [&] {
    open.UntagAll();
    open.List()->viewport()->repaint();
  });
  return 0;
}
