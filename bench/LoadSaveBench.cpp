// Load and save timings on generated games shaped like played ones (character files of about
// 40 KB with the portrait deep inside, records and families spread over the neighbourhood
// file with arbitrary bytes between them), written once to a temporary folder.
//
//   BM_Load/N              loadGameFolder on N persons and a 4 MiB neighbourhood file
//   BM_RawRead/500         listing the character folder and reading the files of BM_Load/500
//                          into one reused buffer, nothing else: the floor of any load
//   BM_LoadLarge/M         loadGameFolder on 500 persons and an M MiB neighbourhood file
//   BM_Save/N              Household::save of N changed persons on the game of BM_Load/500:
//                          the check of the file and the writes, not the flush to the disk
//   BM_SaveFlushed/500     the same with the flush, which the disk decides
//   BM_ReadNeighborhood/500  one read of that game's neighbourhood file into a reused buffer
//
// After the runs the program prints the ratios the load and the save are held to, from the
// medians over repetitions (run with --benchmark_repetitions=5). The display is always the
// console; --benchmark_out with --benchmark_out_format still writes a machine-readable copy.

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

#include "base/FileDevice.h"
#include "base/FileIO.h"
#include "editing/Household.h"
#include "gamedata/PersonLoader.h"
#include "model/Persons.h"
#include "support/GameBuilder.h"

namespace {

namespace fs = std::filesystem;
using vondrel::Bytes;
using vondrel::Persons;

constexpr std::size_t kMiB = std::size_t{1} << 20;
constexpr int kPersons = 500;

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
    std::size_t folderBytes() const { return characterBytes + neighborhoodBytes; }
};

// The games, written once per shape and removed when the program ends.
class Games {
  public:
    ~Games() {
        std::error_code ec;
        if (!root_.empty())
            fs::remove_all(root_, ec);
    }

    const Game& get(int persons, std::size_t neighborhoodSize = 4 * kMiB) {
        auto& game = games_[{persons, neighborhoodSize}];
        if (!game)
            game = std::make_unique<Game>(write(persons, neighborhoodSize));
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

    Game write(int persons, std::size_t neighborhoodSize) {
        std::mt19937 rng(static_cast<std::uint32_t>(1000 + persons));
        const auto built =
            vondrel::build::build(vondrel::build::playedGame(rng, persons, neighborhoodSize));
        Game game;
        game.persons = persons;
        game.folder = root() / ("game-" + std::to_string(persons) + "-" +
                                std::to_string(neighborhoodSize / kMiB));
        vondrel::build::writeGameFolder(built, game.folder);
        game.charactersFolder = vondrel::charactersFolderOf(game.folder);
        game.neighborhoodPath = vondrel::neighborhoodPathOf(game.folder);
        for (const auto& [name, bytes] : built.characterFiles)
            game.characterBytes += bytes.size();
        game.neighborhoodBytes = built.neighborhood.size();
        return game;
    }

    fs::path root_;
    std::map<std::pair<int, std::size_t>, std::unique_ptr<Game>> games_;
};

Games& games() {
    static Games instance;
    return instance;
}

void reportThroughput(benchmark::State& state, const Game& game) {
    const auto iterations = static_cast<std::int64_t>(state.iterations());
    state.SetItemsProcessed(iterations * game.persons);
    state.SetBytesProcessed(iterations * static_cast<std::int64_t>(game.folderBytes()));
    state.counters["folder_bytes"] = static_cast<double>(game.folderBytes());
}

void loadLoop(benchmark::State& state, const Game& game) {
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

void BM_Load(benchmark::State& state) {
    loadLoop(state, games().get(static_cast<int>(state.range(0))));
}

void BM_LoadLarge(benchmark::State& state) {
    loadLoop(state, games().get(kPersons, static_cast<std::size_t>(state.range(0)) * kMiB));
}

// A buffer that grows as needed and is never cleared: reading into it costs the read alone.
class ReusedBuffer {
  public:
    std::uint8_t* reserve(std::size_t size) {
        if (size > capacity_) {
            data_.reset(new std::uint8_t[size]);
            capacity_ = size;
        }
        return data_.get();
    }

  private:
    std::unique_ptr<std::uint8_t[]> data_;
    std::size_t capacity_ = 0;
};

// Reads a whole file the plain way: its size, one read into the reused buffer.
std::size_t readPlain(const fs::path& path, ReusedBuffer& buffer) {
    vondrel::FilePtr file = vondrel::openFile(path, "rb");
    if (!file)
        throw std::runtime_error("cannot open " + path.string());
    std::setvbuf(file.get(), nullptr, _IONBF, 0);
    std::fseek(file.get(), 0, SEEK_END);
    const auto size = static_cast<std::size_t>(std::ftell(file.get()));
    std::fseek(file.get(), 0, SEEK_SET);
    std::uint8_t* data = buffer.reserve(size);
    if (std::fread(data, 1, size, file.get()) != size)
        throw std::runtime_error("cannot read " + path.string());
    benchmark::DoNotOptimize(data);
    return size;
}

void BM_RawRead(benchmark::State& state) {
    const Game& game = games().get(static_cast<int>(state.range(0)));
    ReusedBuffer buffer;
    for (auto _ : state) {
        std::size_t total = 0;
        std::size_t files = 0;
        for (const fs::directory_entry& entry : fs::directory_iterator(game.charactersFolder)) {
            total += readPlain(entry.path(), buffer);
            ++files;
        }
        total += readPlain(game.neighborhoodPath, buffer);
        if (files != static_cast<std::size_t>(game.persons) || total != game.folderBytes()) {
            state.SkipWithError("the character folder holds other files");
            break;
        }
    }
    reportThroughput(state, game);
}

void BM_ReadNeighborhood(benchmark::State& state) {
    const Game& game = games().get(static_cast<int>(state.range(0)));
    ReusedBuffer buffer;
    for (auto _ : state) {
        if (readPlain(game.neighborhoodPath, buffer) != game.neighborhoodBytes) {
            state.SkipWithError("the neighbourhood file changed");
            break;
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(game.neighborhoodBytes));
}

// The system's files with a flush that does nothing: what a save costs before the disk.
class UnflushedFiles : public vondrel::FileOpener {
  public:
    std::unique_ptr<vondrel::FileDevice> openForUpdate(const fs::path& path,
                                                       std::string& error) override {
        auto file = vondrel::systemFiles().openForUpdate(path, error);
        if (!file)
            return nullptr;
        return std::make_unique<Unflushed>(std::move(file));
    }

  private:
    class Unflushed : public vondrel::FileDevice {
      public:
        explicit Unflushed(std::unique_ptr<vondrel::FileDevice> file) : file_(std::move(file)) {}
        std::uint64_t size() const override { return file_->size(); }
        bool readAt(std::uint64_t offset, std::span<std::uint8_t> out,
                    std::string& error) override {
            return file_->readAt(offset, out, error);
        }
        bool writeAt(std::uint64_t offset, vondrel::ByteView data, std::string& error) override {
            return file_->writeAt(offset, data, error);
        }
        bool flush(std::string&) override { return true; }

      private:
        std::unique_ptr<vondrel::FileDevice> file_;
    };
};

// Gives `count` persons of the household the values of `variant`, so that two variants differ
// in those persons' values, their family money and every relationship they hold.
void editPersons(vondrel::Household& household, int count, int variant) {
    int edited = 0;
    for (int id = vondrel::kMinId; id <= vondrel::kMaxId && edited < count; ++id) {
        if (!household.isEditable(id))
            continue;
        ++edited;
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

void saveLoop(benchmark::State& state, bool flushed) {
    const int count = static_cast<int>(state.range(0));
    const Game& game = games().get(kPersons);

    Persons loaded;
    CountingSink sink;
    vondrel::GameFolderLoad load = vondrel::loadGameFolder(game.folder, loaded, sink);
    if (load.status != vondrel::LoadStatus::Loaded ||
        load.entries.size() != static_cast<std::size_t>(game.persons)) {
        state.SkipWithError("the game did not load completely");
        return;
    }

    const fs::path path = games().scratchFile("save-" + std::to_string(count) + ".iff");
    fs::copy_file(game.neighborhoodPath, path, fs::copy_options::overwrite_existing);
    UnflushedFiles unflushed;
    vondrel::Household household(path, load.neighborhood, std::move(loaded), load.entries,
                                 flushed ? vondrel::systemFiles() : unflushed);

    // Saves alternate between two sets of values, so every save rewrites the values the one
    // before it wrote.
    std::size_t changed = 0;
    int next = 0;
    for (auto _ : state) {
        state.PauseTiming();
        editPersons(household, count, next);
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

    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * count);
    // Each save reads the whole file to compare it and writes the changed values.
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(game.neighborhoodBytes));
    state.counters["changed_values"] = static_cast<double>(changed);
}

void BM_Save(benchmark::State& state) {
    saveLoop(state, false);
}

void BM_SaveFlushed(benchmark::State& state) {
    saveLoop(state, true);
}

BENCHMARK(BM_Load)->Arg(50)->Arg(500)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RawRead)->Arg(500)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadLarge)->Arg(16)->Arg(64)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Save)->Arg(1)->Arg(500)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveFlushed)->Arg(500)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadNeighborhood)->Arg(500)->Unit(benchmark::kMillisecond);

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
        out << "load/raw           = " << ratio("BM_Load/500", "BM_RawRead/500", 1.3) << "\n"
            << "load500/load50     = " << ratio("BM_Load/500", "BM_Load/50", 12) << "\n"
            << "large64/large16    = " << ratio("BM_LoadLarge/64", "BM_LoadLarge/16", 4.4) << "\n"
            << "save500/read       = " << ratio("BM_Save/500", "BM_ReadNeighborhood/500", 1.5)
            << "\n";
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

    std::string ratio(const std::string& numerator, const std::string& denominator,
                      double limit) const {
        const auto a = median(numerator);
        const auto b = median(denominator);
        if (!a || !b || *b <= 0)
            return "n/a";
        char text[64];
        std::snprintf(text, sizeof text, "%.2f (at most %.1f%s)", *a / *b, limit,
                      *a / *b <= limit ? "" : ", MISSED");
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
