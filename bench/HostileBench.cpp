// Timings of the searches whose time must grow linearly with hostile input:
//
//   BM_RegistryPath/N  a Wine registry's game folder of N path components, read from
//                      system.reg and turned into a local path
//   BM_NameSearch/N    N record names that share a long prefix, each found in a
//                      neighbourhood file that holds all of them
//
// Each runs at a size and at twice that size; linear means the second time is at most
// about twice the first.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "base/Bytes.h"
#include "gamedata/NameFinder.h"
#include "platform/WineRegistry.h"

namespace {

namespace fs = std::filesystem;

class ScratchFolder {
  public:
    ScratchFolder() {
        path_ = fs::temp_directory_path() / ("vondrel-hostile-bench-" + std::to_string(::getpid()));
        fs::create_directories(path_);
    }
    ~ScratchFolder() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    const fs::path& path() const { return path_; }

  private:
    fs::path path_;
};

void BM_RegistryPath(benchmark::State& state) {
    const auto components = static_cast<std::size_t>(state.range(0));
    ScratchFolder prefix;
    // The first components exist on disk, in another letter case.
    fs::create_directories(prefix.path() / "drive_c" / "Games" / "Veks");
    std::string value = "C:\\\\games\\\\veks";
    for (std::size_t i = 2; i < components; ++i)
        value += "\\\\dir" + std::to_string(i % 10);
    std::ofstream(prefix.path() / "system.reg")
        << "WINE REGISTRY Version 2\n\n[Software\\\\Norvo\\\\The Veks] 1700000000\n\"VEKS_DATA\"=\""
        << value << "\"\n";
    vondrel::WineRegistry registry(prefix.path());
    for (auto _ : state) {
        const auto read = registry.read("Software\\Norvo\\The Veks", "VEKS_DATA");
        benchmark::DoNotOptimize(registry.toLocalPath(read->data));
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_RegistryPath)->Arg(20'000)->Arg(40'000)->Unit(benchmark::kMillisecond);

void BM_NameSearch(benchmark::State& state) {
    const auto count = static_cast<std::size_t>(state.range(0));
    const std::string shared = "a_person_whose_name_starts_like_every_other_";
    std::vector<std::string> names;
    vondrel::Bytes data;
    for (std::size_t i = 0; i < count; ++i) {
        names.push_back(shared + std::to_string(i));
        // Each record: its name, a NUL and the rest of the record.
        data.insert(data.end(), names.back().begin(), names.back().end());
        data.resize(data.size() + 200, 0);
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(vondrel::findRecordNames(data, names));
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_NameSearch)->Arg(100'001)->Arg(200'002)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
