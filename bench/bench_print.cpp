// Print jobs on 100,000 cards: the layout alone, and the whole job drawn
// into a PDF at 600 dpi, offscreen.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPrinter>
#include <QTemporaryDir>

#include "bench_data.h"
#include "services/ui/printer_pages.h"

namespace {

using namespace tessel;

const std::vector<CardInfo>& Cards() {
  static const std::vector<CardInfo> cards = bench::MakeCards(100'000);
  return cards;
}

struct Pdf {
  QTemporaryDir dir;
  QPrinter printer{QPrinter::HighResolution};
  Pdf() {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath("bench.pdf"));
    printer.setResolution(600);
  }
};

void Layout(benchmark::State& state, PrintKind kind) {
  Pdf pdf;
  const FormatSettings format;
  const bool list = kind == PrintKind::List;
  const PrintMetrics m = PrintMetricsFor(
      PrintFont(list ? format.indexFace : format.bodyFace, 10, pdf.printer.logicalDpiY()), pdf.printer);
  std::size_t pages = 0;
  for (auto _ : state) {
    pages = CountPrintPages(kind, Cards(), "/cards/bench.tsl", m);
    benchmark::DoNotOptimize(pages);
  }
  state.counters["pages"] = static_cast<double>(pages);
}

void PrintToPdf(benchmark::State& state, PrintKind kind) {
  std::size_t pages = 0;
  for (auto _ : state) {
    Pdf pdf;
    PrintOnPrinter(pdf.printer, kind, Cards(), "/cards/bench.tsl", FormatSettings(),
                   [&pages](std::size_t done, std::size_t total) {
                     pages = total;
                     return done <= total;
                   });
  }
  state.counters["pages"] = static_cast<double>(pages);
}

BENCHMARK_CAPTURE(Layout, list, PrintKind::List)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Layout, tagged, PrintKind::Tagged)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(PrintToPdf, list, PrintKind::List)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(PrintToPdf, tagged, PrintKind::Tagged)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  return 0;
}
