// In-process timings of load + sort and save.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <optional>

#include "bench_data.h"
#include "cards/card_file.h"
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
    if (!errors(ReadCardFile(*cards, format, path, state.range(1) ? &identity : nullptr))) {
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
                              state.range(1) ? &identity : nullptr))) {
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

BENCHMARK_MAIN();
