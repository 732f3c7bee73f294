// Load and save timings on synthetic games written to a temporary folder.
//
//   BM_Load/N      loadGameFolder: listing, reading every file and the per-file pass
//   BM_RawRead/N   listing the character folder and reading the same files into memory,
//                  nothing else: what any load has to pay
//   BM_Save/N      NeighborhoodSaver::save with every person changed
//
// After the runs the program prints how the load compares with the raw read and how it
// grows from 50 to 500 persons. The display is always the console; --benchmark_out with
// --benchmark_out_format still writes a machine-readable copy.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/FileIO.h"
#include "gamedata/NeighborhoodSave.h"
#include "gamedata/PersonLoader.h"
#include "model/Persons.h"
#include "support/GameBuilder.h"

namespace {

namespace fs = std::filesystem;
using vondrel::Bytes;
using vondrel::Persons;

// Every game's neighbourhood file is padded to at least this size, as a played game's is.
constexpr std::size_t kNeighborhoodSize = std::size_t{4} << 20;

// Counts what the window would be told, so that the load's calls are not optimised away.
class CountingSink : public vondrel::LoadSink {
  public:
    void begin(int maximum) override { maximum_ = maximum; }
    void advance(int amount) override { progress_ += amount; }
    void message(const std::string&) override { ++messages_; }
    void image(const std::string&, const std::optional<Bytes>& portrait) override {
        ++images_;
        portraitBytes_ += portrait ? portrait->size() : 0;
    }

    int messages() const { return messages_; }
    bool complete() const { return maximum_ > 0 && progress_ == maximum_; }

  private:
    int maximum_ = 0;
    int progress_ = 0;
    int messages_ = 0;
    int images_ = 0;
    std::size_t portraitBytes_ = 0;
};

struct Game {
    int persons = 0;
    fs::path folder;
    fs::path charactersFolder;
    fs::path neighborhoodPath;
    std::size_t characterBytes = 0;
    std::size_t neighborhoodBytes = 0;
};

// The games, written once per person count and removed when the program ends.
class Games {
  public:
    ~Games() {
        std::error_code ec;
        if (!root_.empty())
            fs::remove_all(root_, ec);
    }

    const Game& get(int persons) {
        auto& game = games_[persons];
        if (!game)
            game = std::make_unique<Game>(write(persons));
        return *game;
    }

    fs::path scratchFile(const std::string& name) { return root() / name; }

  private:
    const fs::path& root() {
        if (root_.empty()) {
            std::random_device random;
            root_ = fs::temp_directory_path() / ("vondrel-bench-" + std::to_string(random()));
            fs::create_directories(root_);
        }
        return root_;
    }

    Game write(int persons) {
        std::mt19937 rng(static_cast<std::uint32_t>(1000 + persons));
        const auto built =
            vondrel::build::build(vondrel::build::randomGame(rng, persons, kNeighborhoodSize));
        Game game;
        game.persons = persons;
        game.folder = root() / ("game-" + std::to_string(persons));
        vondrel::build::writeGameFolder(built, game.folder);
        game.charactersFolder = vondrel::charactersFolderOf(game.folder);
        game.neighborhoodPath = vondrel::neighborhoodPathOf(game.folder);
        for (const auto& [name, bytes] : built.characterFiles)
            game.characterBytes += bytes.size();
        game.neighborhoodBytes = built.neighborhood.size();
        return game;
    }

    fs::path root_;
    std::map<int, std::unique_ptr<Game>> games_;
};

Games& games() {
    static Games instance;
    return instance;
}

void reportThroughput(benchmark::State& state, const Game& game) {
    const auto iterations = static_cast<std::int64_t>(state.iterations());
    state.SetItemsProcessed(iterations * game.persons);
    state.SetBytesProcessed(
        iterations * static_cast<std::int64_t>(game.characterBytes + game.neighborhoodBytes));
}

void BM_Load(benchmark::State& state) {
    const Game& game = games().get(static_cast<int>(state.range(0)));
    std::unique_ptr<Persons> persons;
    vondrel::GameFolderLoad load;
    for (auto _ : state) {
        // A fresh table as the program starts with, made and freed outside the timing.
        state.PauseTiming();
        persons.reset();
        persons = std::make_unique<Persons>();
        load = {};
        state.ResumeTiming();

        CountingSink sink;
        load = vondrel::loadGameFolder(game.folder, *persons, sink);
        benchmark::DoNotOptimize(load.neighborhood.data());

        if (load.status != vondrel::LoadStatus::Loaded ||
            load.entries.size() != static_cast<std::size_t>(game.persons) || sink.messages() != 0 ||
            !sink.complete()) {
            state.SkipWithError("the game did not load completely");
            break;
        }
    }
    reportThroughput(state, game);
}

// Reads a whole file the plain way: its size, one buffer, one read.
Bytes readPlain(const fs::path& path) {
    Bytes bytes(fs::file_size(path));
    vondrel::FilePtr file = vondrel::openFile(path, "rb");
    if (!file || std::fread(bytes.data(), 1, bytes.size(), file.get()) != bytes.size()) {
        throw std::runtime_error("cannot read " + path.string());
    }
    return bytes;
}

void BM_RawRead(benchmark::State& state) {
    const Game& game = games().get(static_cast<int>(state.range(0)));
    std::vector<Bytes> contents;
    for (auto _ : state) {
        state.PauseTiming();
        contents.clear();
        contents.shrink_to_fit();
        state.ResumeTiming();

        std::vector<fs::path> paths;
        for (const fs::directory_entry& entry : fs::directory_iterator(game.charactersFolder)) {
            paths.push_back(entry.path());
        }
        contents.reserve(paths.size() + 1);
        for (const fs::path& path : paths)
            contents.push_back(readPlain(path));
        contents.push_back(readPlain(game.neighborhoodPath));
        benchmark::DoNotOptimize(contents.data());

        if (contents.size() != static_cast<std::size_t>(game.persons) + 1) {
            state.SkipWithError("the character folder holds other files");
            break;
        }
    }
    reportThroughput(state, game);
}

// The loaded table with every person marked changed and its values set from `variant`, so
// that two variants differ in every person's values, the family money and every
// relationship.
Persons editedTable(const Persons& loaded, int variant) {
    Persons table = loaded;
    for (vondrel::PersonRecord& p : table) {
        if (p.FirstName.empty())
            continue;
        p.Changed = vondrel::kTrue;
        p.Nice = static_cast<vondrel::Integer>(variant == 0 ? 100 : 900);
        p.Playful = static_cast<vondrel::Integer>(variant == 0 ? 200 : 800);
        p.JobPerformance = static_cast<vondrel::Integer>(variant == 0 ? -50 : 50);
        p.Money = (variant == 0 ? 10000 : 20000) + p.Id;
        for (int j = vondrel::kMinId; j <= vondrel::kMaxId; ++j) {
            if (!vondrel::isTrue(p.HasRelation[j]))
                continue;
            p.Relation[j] = variant == 0 ? j % 100 : -(j % 100) - 1;
            p.Loves[j] = vondrel::toBoolean(variant == 0);
        }
    }
    return table;
}

std::size_t differingBytes(const Bytes& a, const Bytes& b) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i)
        count += a[i] != b[i];
    return count;
}

void BM_Save(benchmark::State& state) {
    const Game& game = games().get(static_cast<int>(state.range(0)));

    Persons loaded;
    CountingSink sink;
    const vondrel::GameFolderLoad load = vondrel::loadGameFolder(game.folder, loaded, sink);
    if (load.status != vondrel::LoadStatus::Loaded ||
        load.entries.size() != static_cast<std::size_t>(game.persons)) {
        state.SkipWithError("the game did not load completely");
        return;
    }

    // Saves alternate between two edited tables, so every save rewrites the values the one
    // before it wrote, with the same saver throughout.
    const Persons tables[] = {editedTable(loaded, 0), editedTable(loaded, 1)};
    Bytes images[] = {load.neighborhood, load.neighborhood};
    for (int v = 0; v < 2; ++v) {
        vondrel::applyPatches(images[v], vondrel::savePatches(tables[v]));
    }
    const std::size_t changedFirst = differingBytes(load.neighborhood, images[0]);
    const std::size_t changedLater = differingBytes(images[0], images[1]);
    if (changedFirst == 0 || changedLater == 0) {
        state.SkipWithError("the edited tables change nothing");
        return;
    }

    const fs::path path = games().scratchFile("save-" + std::to_string(game.persons) + ".iff");
    fs::copy_file(game.neighborhoodPath, path, fs::copy_options::overwrite_existing);
    vondrel::NeighborhoodSaver saver(path, load.neighborhood);

    std::size_t next = 0;
    for (auto _ : state) {
        const vondrel::SaveOutcome outcome = saver.save(tables[next]);

        state.PauseTiming();
        if (!outcome.saved || saver.expected() != images[next]) {
            state.SkipWithError(("the save did not write: " + outcome.message).c_str());
            break;
        }
        next = 1 - next;
        state.ResumeTiming();
    }

    if (!state.error_occurred() && state.iterations() > 0) {
        const vondrel::ReadResult onDisk = vondrel::readWholeFile(path);
        if (!onDisk.bytes || *onDisk.bytes != images[1 - next]) {
            state.SkipWithError("the file on disk is not what the last save wrote");
        }
    }
    fs::remove(path);

    const auto iterations = static_cast<std::int64_t>(state.iterations());
    state.SetItemsProcessed(iterations * game.persons);
    // Each save reads the whole file to compare it and writes the changed stretches.
    state.SetBytesProcessed(iterations * static_cast<std::int64_t>(game.neighborhoodBytes));
    state.counters["changed_bytes"] = static_cast<double>(changedLater);
}

BENCHMARK(BM_Load)->Arg(50)->Arg(500)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RawRead)->Arg(500)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Save)->Arg(500)->Unit(benchmark::kMillisecond);

// The console display, keeping each run's real time per iteration for the ratios printed
// at the end: the median over repetitions (the reported one when only aggregates are shown).
class RatioReporter : public benchmark::ConsoleReporter {
  public:
    explicit RatioReporter(OutputOptions options) : ConsoleReporter(options) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred)
                continue;
            const double seconds =
                run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
            Times& times = times_[run.run_name.str()];
            if (run.run_type == Run::RT_Iteration) {
                times.runs.push_back(seconds);
            } else if (run.aggregate_name == "median") {
                times.median = seconds;
            }
        }
    }

    void printRatios(std::ostream& out) const {
        if (times_.empty())
            return;
        out << "load/raw = " << ratio("BM_Load/500", "BM_RawRead/500") << " (at most 2)"
            << ", load500/load50 = " << ratio("BM_Load/500", "BM_Load/50") << " (at most 12)\n";
    }

  private:
    struct Times {
        std::vector<double> runs;
        std::optional<double> median;
    };

    std::optional<double> median(const std::string& name) const {
        const auto it = times_.find(name);
        if (it == times_.end())
            return std::nullopt;
        if (it->second.median)
            return it->second.median;
        std::vector<double> runs = it->second.runs;
        if (runs.empty())
            return std::nullopt;
        std::sort(runs.begin(), runs.end());
        return runs[runs.size() / 2];
    }

    std::string ratio(const std::string& numerator, const std::string& denominator) const {
        const auto a = median(numerator);
        const auto b = median(denominator);
        if (!a || !b || *b <= 0)
            return "n/a";
        char text[32];
        std::snprintf(text, sizeof text, "%.2f", *a / *b);
        return text;
    }

    std::map<std::string, Times> times_;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    RatioReporter reporter(benchmark::ConsoleReporter::OO_None);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatios(std::cout);
    benchmark::Shutdown();
    return 0;
}
