// Catalogues of 1 000, 100 000 and 1 000 000 stations, written with the program's own writer:
// how long they take to load, to filter for a busy category and to search by name, and how much
// memory each record costs. The files live in a scratch folder (LUMIO_BENCH_DIR, or a fresh one
// under /tmp) that is removed at exit unless it was given.

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include "bench/catalogue_generator.h"
#include "bench/heap_counter.h"
#include "catalogue/categories.h"
#include "catalogue/station_list_file.h"
#include "store/atomic_file.h"
#include "store/find_text.h"

namespace lumio::bench {
namespace {

// Content row 12, "综合" (content category 13): about 30 % of the stations.
constexpr int32_t kBusyContentRow = 12;

// The generated catalogue files, one per size, made on first use.
class CatalogueFiles {
 public:
  CatalogueFiles() {
    if (const char* dir = std::getenv("LUMIO_BENCH_DIR"); dir != nullptr && *dir != '\0') {
      folder_ = dir;
      std::filesystem::create_directories(folder_);
      return;
    }
    std::string pattern = (std::filesystem::temp_directory_path() / "lumio-bench.XXXXXX");
    if (mkdtemp(pattern.data()) == nullptr) return;
    folder_ = pattern;
    owned_ = true;
  }
  ~CatalogueFiles() {
    if (owned_) {
      std::error_code ignored;
      std::filesystem::remove_all(folder_, ignored);
    }
  }
  CatalogueFiles(const CatalogueFiles&) = delete;
  CatalogueFiles& operator=(const CatalogueFiles&) = delete;

  // The file holding `count` stations; "" when it cannot be written.
  const std::string& PathFor(size_t count) {
    auto known = paths_.find(count);
    if (known != paths_.end()) return known->second;
    std::string& path = paths_[count];
    if (folder_.empty()) return path;
    const std::string file = (folder_ / ("chlst-" + std::to_string(count) + ".ini")).string();
    if (std::filesystem::exists(file) || SaveStationList(file, MakeCatalogue(count))) path = file;
    return path;
  }

 private:
  std::filesystem::path folder_;
  bool owned_ = false;
  std::map<size_t, std::string> paths_;
};

CatalogueFiles& Files() {
  static CatalogueFiles files;
  return files;
}

// The loaded catalogue of each size, kept for the benchmarks that work on a loaded one.
const StationList& LoadedCatalogue(size_t count) {
  static std::map<size_t, std::unique_ptr<StationList>> loaded;
  auto& slot = loaded[count];
  if (!slot) slot = std::make_unique<StationList>(LoadStationList(Files().PathFor(count)));
  return *slot;
}

size_t Count(const benchmark::State& state) {
  return static_cast<size_t>(state.range(0));
}

// Skips the benchmark when its catalogue file is missing; true when it can run.
bool HaveCatalogue(benchmark::State& state) {
  if (!Files().PathFor(Count(state)).empty()) return true;
  state.SkipWithError("the catalogue file could not be written");
  return false;
}

// Heap and resident memory held by a loaded catalogue, per record, and what loading allocates.
// One iteration: the figures, not the time, are the result.
void BM_CatalogueMemory(benchmark::State& state) {
  if (!HaveCatalogue(state)) return;
  const std::string& path = Files().PathFor(Count(state));
  const double n = static_cast<double>(Count(state));
  for (auto _ : state) {
    const int64_t residentBefore = ResidentBytes();
    StartHeapCounting();
    StationList catalogue = LoadStationList(path);
    const HeapCounts heap = StopHeapCounting();
    const int64_t residentAfter = ResidentBytes();
    if (catalogue.size() != Count(state)) state.SkipWithError("records went missing on load");
    state.counters["heap_B/rec"] = static_cast<double>(heap.liveBytes) / n;
    state.counters["peak_B/rec"] = static_cast<double>(heap.peakBytes) / n;
    state.counters["rss_B/rec"] = static_cast<double>(residentAfter - residentBefore) / n;
    state.counters["allocs/rec"] = static_cast<double>(heap.allocations) / n;
    benchmark::DoNotOptimize(catalogue);
  }
}

// Loading the catalogue file as the program does 1.5 s after start-up (file in the page cache).
void BM_LoadStationList(benchmark::State& state) {
  if (!HaveCatalogue(state)) return;
  const std::string& path = Files().PathFor(Count(state));
  size_t loaded = 0;
  for (auto _ : state) {
    StationList catalogue = LoadStationList(path);
    loaded = catalogue.size();
    benchmark::DoNotOptimize(catalogue);
  }
  if (loaded != Count(state)) state.SkipWithError("records went missing on load");
  state.SetItemsProcessed(state.iterations() * state.range(0));
  state.counters["file_MB"] =
      static_cast<double>(std::filesystem::file_size(path)) / (1024.0 * 1024.0);
}

// The decoding part of a load alone: bytes already in memory to records.
void BM_DecodeStationList(benchmark::State& state) {
  if (!HaveCatalogue(state)) return;
  const auto bytes = ReadWholeFile(Files().PathFor(Count(state)));
  if (!bytes) {
    state.SkipWithError("the catalogue file could not be read");
    return;
  }
  for (auto _ : state) {
    StationList catalogue = DecodeStationList(*bytes);
    benchmark::DoNotOptimize(catalogue);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes->size()));
}

// A click on "综合": the view rebuilt from the whole catalogue, the old view released.
void BM_FillViewBusyCategory(benchmark::State& state) {
  if (!HaveCatalogue(state)) return;
  const StationList& catalogue = LoadedCatalogue(Count(state));
  const StationList none;
  StationList view;
  for (auto _ : state) {
    FillView(kContentCategories, kBusyContentRow, catalogue, none, none, view);
    benchmark::DoNotOptimize(view);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
  state.counters["view_share"] =
      static_cast<double>(view.size()) / static_cast<double>(catalogue.size());
}

// Find: FindText over every station name for a common word.
void BM_FindTextInEveryName(benchmark::State& state) {
  if (!HaveCatalogue(state)) return;
  const StationList& catalogue = LoadedCatalogue(Count(state));
  const std::string& word = CommonNameWord();
  size_t hits = 0;
  for (auto _ : state) {
    hits = 0;
    for (const StationRecord& r : catalogue)
      if (FindText(r.name, word) >= 0) ++hits;
    benchmark::DoNotOptimize(hits);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
  state.counters["hit_share"] = static_cast<double>(hits) / static_cast<double>(catalogue.size());
}

void CatalogueSizes(benchmark::internal::Benchmark* b) {
  b->Arg(1000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_CatalogueMemory)->Apply(CatalogueSizes)->Iterations(1);
BENCHMARK(BM_LoadStationList)->Apply(CatalogueSizes);
BENCHMARK(BM_DecodeStationList)->Apply(CatalogueSizes);
BENCHMARK(BM_FillViewBusyCategory)->Apply(CatalogueSizes);
BENCHMARK(BM_FindTextInEveryName)->Apply(CatalogueSizes);

}  // namespace
}  // namespace lumio::bench

BENCHMARK_MAIN();
