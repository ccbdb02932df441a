// In-process timings of load + sort and save.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <optional>

#include "bench_data.h"
#include "cards/card_file.h"
#include "cards/csv_file.h"
#include "output/export.h"
#include "cards/recovery.h"
#include "stack/search.h"

namespace {

using namespace tessel;

std::string TempPath(const char* name) {
  return (std::filesystem::temp_directory_path() / (std::string("tessel-bench-") + name + "-" +
                                                    std::to_string(::getpid()) + ".tsl"))
      .string();
}

void WriteShuffled(const std::string& path, std::size_t n) {
  const auto bytes = CardFileBytes(FormatSettings{}, bench::MakeCards(n));
  FILE* f = std::fopen(path.c_str(), "wb");
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
}

// Arg 1: with the file's identity (a hash of every byte), as Open reads.
void BM_LoadAndSort(benchmark::State& state) {
  const std::string path = TempPath("load");
  std::optional<FileIdentity> identity;
  WriteShuffled(path, static_cast<std::size_t>(state.range(0)));
  bench::StderrReporter errors;
  std::optional<CardCollection> cards;
  for (auto _ : state) {
    cards.emplace();
    FormatSettings format;
    if (!errors(ReadCardFile(*cards, format, path, CardLoad::Open, state.range(1) ? &identity : nullptr))) {
      state.SkipWithError("read failed");
    }
    benchmark::DoNotOptimize(cards->Size());
    state.PauseTiming();
    cards.reset();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
  std::filesystem::remove(path);
}
BENCHMARK(BM_LoadAndSort)->ArgsProduct({{100000, 1000000}, {0, 1}})->Unit(benchmark::kMillisecond);

// A CSV file of n cards read whole: the guess, the fields and the cards.
void BM_CsvImport(benchmark::State& state) {
  const std::string bytes =
      ExportCsvBytes(bench::MakeCards(static_cast<std::size_t>(state.range(0))), {';', true});
  for (auto _ : state) {
    const CsvGuess guess = GuessCsv(bytes);
    CsvTable table;
    if (!ParseCsv(bytes, guess.separator, table).ok) state.SkipWithError("parse failed");
    std::vector<CardInfo> cards;
    benchmark::DoNotOptimize(CsvCards(table, DefaultMapping(table), guess.encoding, cards).cards);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_CsvImport)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_SortShuffled(benchmark::State& state) {
  const auto source = bench::MakeCards(static_cast<std::size_t>(state.range(0)));
  std::optional<CardCollection> cards;
  for (auto _ : state) {
    state.PauseTiming();
    cards.emplace();
    cards->AppendCards(std::vector<CardInfo>(source));
    state.ResumeTiming();
    cards->SortCards();
    state.PauseTiming();
    cards.reset();  // freeing a million cards is not sorting
    state.ResumeTiming();
  }
}
BENCHMARK(BM_SortShuffled)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

// Arg 1: with the written file's identity, as Save keeps it.
void BM_Save(benchmark::State& state) {
  const std::string path = TempPath("save");
  std::optional<FileIdentity> identity;
  CardCollection cards;
  cards.AppendCards(bench::MakeCards(static_cast<std::size_t>(state.range(0))));
  cards.SortCards();
  bench::StderrReporter errors;
  for (auto _ : state) {
    if (!errors(WriteCardFile(cards, FormatSettings{}, path, FileOps::System(),
                              nullptr, state.range(1) ? &identity : nullptr))) {
      state.SkipWithError("write failed");
    }
  }
  std::filesystem::remove(path);
}
BENCHMARK(BM_Save)->ArgsProduct({{100000, 1000000}, {0, 1}})->Unit(benchmark::kMillisecond);

// Find Next's sweep and Go To over every card when nothing matches.
void BM_FindNextNoHit(benchmark::State& state) {
  CardCollection cards;
  cards.AppendCards(bench::MakeCards(static_cast<std::size_t>(state.range(0))));
  cards.SortCards();
  for (auto _ : state) {
    benchmark::DoNotOptimize(FindBodyCandidate(cards, "no such text", 1, cards.Size()));
  }
}
BENCHMARK(BM_FindNextNoHit)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_GoToNoMatch(benchmark::State& state) {
  CardCollection cards;
  cards.AppendCards(bench::MakeCards(static_cast<std::size_t>(state.range(0))));
  cards.SortCards();
  for (auto _ : state) benchmark::DoNotOptimize(FindIndexMatch(cards, "no such index"));
}
BENCHMARK(BM_GoToNoMatch)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

// What the user-interface thread pays for a recovery write: the snapshot of
// the whole document; the disk is the writer thread's.
void BM_RecoverySnapshot(benchmark::State& state) {
  const auto cards = bench::MakeCards(static_cast<std::size_t>(state.range(0)));
  const RecoveryHeader header = OwnRecoveryHeader("/home/user/cards.tsl", false);
  // As the program takes them: each snapshot in the buffer the writer
  // thread has finished with.
  std::vector<uint8_t> buffer;
  for (auto _ : state) {
    buffer = RecoveryBytes(header, FormatSettings{}, cards, std::move(buffer));
    benchmark::DoNotOptimize(buffer.data());
  }
}
BENCHMARK(BM_RecoverySnapshot)->Arg(100000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
