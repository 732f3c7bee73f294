// Load and save timings on synthetic games written to a temporary folder.
//
//   BM_Load/N      loadGameFolder: listing, reading every file and the per-file pass
//   BM_RawRead/N   listing the character folder and reading the same files into memory,
//                  nothing else: what any load has to pay
//   BM_Save/N      Household::save with every person changed
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
#include "editing/Household.h"
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

// Gives every person of the household the values of `variant`, so that two variants differ in
// every person's values, the family money and every relationship.
void editEveryone(vondrel::Household& household, int variant) {
    for (int id = vondrel::kMinId; id <= vondrel::kMaxId; ++id) {
        if (!household.isEditable(id))
            continue;
        household.setAttribute(id, vondrel::Attribute::Nice, variant == 0 ? 100 : 900);
        household.setAttribute(id, vondrel::Attribute::Playful, variant == 0 ? 200 : 800);
        household.setPerformance(id, variant == 0 ? -50 : 50);
        household.setFamilyMoney(id, (variant == 0 ? 10000 : 20000) + id);
        for (int j = vondrel::kMinId; j <= vondrel::kMaxId; ++j) {
            if (!vondrel::isTrue(household.person(id).HasRelation[j]))
                continue;
            household.setRelation(id, j, variant == 0 ? j % 100 : -(j % 100) - 1);
            household.setLoves(id, j, variant == 0);
        }
    }
}

void BM_Save(benchmark::State& state) {
    const Game& game = games().get(static_cast<int>(state.range(0)));

    Persons loaded;
    CountingSink sink;
    vondrel::GameFolderLoad load = vondrel::loadGameFolder(game.folder, loaded, sink);
    if (load.status != vondrel::LoadStatus::Loaded ||
        load.entries.size() != static_cast<std::size_t>(game.persons)) {
        state.SkipWithError("the game did not load completely");
        return;
    }

    const fs::path path = games().scratchFile("save-" + std::to_string(game.persons) + ".iff");
    fs::copy_file(game.neighborhoodPath, path, fs::copy_options::overwrite_existing);
    vondrel::Household household(path, load.neighborhood, std::move(loaded), load.entries);

    // Saves alternate between two sets of values, so every save rewrites the values the one
    // before it wrote.
    std::size_t changed = 0;
    int next = 0;
    for (auto _ : state) {
        state.PauseTiming();
        editEveryone(household, next);
        changed = household.pendingWrites().size();
        state.ResumeTiming();
        const vondrel::SaveOutcome outcome = household.save();
        if (!outcome.saved || changed == 0) {
            state.SkipWithError(("the save did not write: " + outcome.message).c_str());
            break;
        }
        next = 1 - next;
    }
    fs::remove(path);

    const auto iterations = static_cast<std::int64_t>(state.iterations());
    state.SetItemsProcessed(iterations * game.persons);
    // Each save reads the whole file to compare it and writes the changed values.
    state.SetBytesProcessed(iterations * static_cast<std::int64_t>(game.neighborhoodBytes));
    state.counters["changed_values"] = static_cast<double>(changed);
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
