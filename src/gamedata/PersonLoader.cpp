#include "gamedata/PersonLoader.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdio>
#include <future>
#include <system_error>

#include "base/Cp1252.h"
#include "base/FileIO.h"
#include "gamedata/CharacterFile.h"
#include "gamedata/NeighborhoodFile.h"
#include "model/PickerText.h"

namespace vondrel {
namespace {

constexpr Integer kValueSubstitute = 1000;
constexpr Integer kPerformanceSubstitute = 50;
constexpr const char* kRejectedMark = "*UNK*";

struct Check {
    Integer PersonRecord::*field;
    std::size_t offset;
    Integer min;
    Integer max;
    Integer substitute;
};

constexpr Integer kNoMin = -32768;

// The neighbour values after Sex and IsGhost, in the order they are read and tested.
constexpr Check kChecks[] = {
    {&PersonRecord::Neat, nbr::Neat, kNoMin, 1000, kValueSubstitute},
    {&PersonRecord::Outgoing, nbr::Outgoing, kNoMin, 1000, kValueSubstitute},
    {&PersonRecord::Active, nbr::Active, kNoMin, 1000, kValueSubstitute},
    {&PersonRecord::Playful, nbr::Playful, kNoMin, 1000, kValueSubstitute},
    {&PersonRecord::Nice, nbr::Nice, kNoMin, 1000, kValueSubstitute},
    {&PersonRecord::Cooking, nbr::Cooking, kNoMin, 1000, kValueSubstitute},
    {&PersonRecord::Mechanical, nbr::Mechanical, kNoMin, 1000, kValueSubstitute},
    {&PersonRecord::Charisma, nbr::Charisma, kNoMin, 1000, kValueSubstitute},
    {&PersonRecord::Body, nbr::Body, kNoMin, 1000, kValueSubstitute},
    {&PersonRecord::Logic, nbr::Logic, kNoMin, 1000, kValueSubstitute},
    {&PersonRecord::Creativity, nbr::Creativity, kNoMin, 1000, kValueSubstitute},
    {&PersonRecord::JobTrack, nbr::JobTrack, -1, 10, 0},
    {&PersonRecord::JobLevel, nbr::JobLevel, kNoMin, 9, 0},
    {&PersonRecord::JobPerformance, nbr::JobPerformance, kNoMin, 100, kPerformanceSubstitute},
    {&PersonRecord::Cleaning, nbr::Cleaning, kNoMin, 1000, kValueSubstitute},
    {&PersonRecord::LingerHouse, nbr::LingerHouse, 0, 10, 0},
};

class FilePass {
  public:
    FilePass(const std::vector<CharacterSource>& files,
             const std::vector<const CharacterFile*>& characters, const NeighborhoodIndex& index,
             Persons& persons, LoadSink& sink, const StringTable& strings)
        : files_(files),
          characters_(characters),
          index_(index),
          data_(index.data()),
          persons_(persons),
          sink_(sink),
          strings_(strings) {}

    void run(std::size_t k);
    // The entries of the files that still hold their slots, in file order.
    std::vector<PickerEntry> takeEntries();

  private:
    // The last file that named a slot in this load, and its picker entry if it made one.
    struct Holder {
        std::optional<std::size_t> file;
        std::optional<std::size_t> entry;
    };

    // Called right before file `k` first changes slot `id`: a file that named the slot
    // earlier loses it, its entry included, and the user is told. Returns whether one did.
    bool claim(int id, std::size_t k) {
        Holder& holder = holders_[static_cast<std::size_t>(id)];
        const bool earlier = holder.file.has_value();
        if (earlier) {
            sink_.message(strings_.text(text::SamePerson) + files_[*holder.file].fileName +
                          " and " + files_[k].fileName + "\n" + strings_.text(text::KeepsLaterOne));
            if (holder.entry)
                kept_[*holder.entry] = false;
        }
        holder = {k, std::nullopt};
        return earlier;
    }
    void addEntry(int id, std::string text, int imageNumber) {
        holders_[static_cast<std::size_t>(id)].entry = entries_.size();
        entries_.push_back({id, std::move(text), imageNumber});
        kept_.push_back(true);
    }

    // The slot the neighbour record at `offset` names, when the record lies inside the file
    // and its id fits the table.
    std::optional<int> slotAt(std::size_t offset) const {
        if (offset == kNoMatch || data_.size() - offset < nbr::RecordSize)
            return std::nullopt;
        const Integer id = *readInt16(data_, offset + nbr::Id);
        if (!isValidId(id))
            return std::nullopt;
        return id;
    }
    Integer valueAt(std::size_t offset, std::size_t field) const {
        return *readInt16(data_, offset + field);
    }
    void fileError(const std::string& fileName, const std::string& reason = {}) {
        sink_.message(strings_.text(text::ReadError) + fileName +
                      (reason.empty() ? "" : " (" + reason + ")") + "\n" +
                      strings_.text(text::IgnoreFile));
    }
    void valueError(const std::string& fileName) {
        sink_.message(strings_.text(text::ReadError) + fileName + "\n" +
                      strings_.text(text::ValueTooBig) + "\n" + strings_.text(text::IgnoreFile));
    }
    void reject(int id) {
        PersonRecord& p = persons_[id];
        p.FirstName = p.FirstName.empty() ? kRejectedMark : p.FirstName + " " + kRejectedMark;
        p.Rejected = kTrue;
        sink_.image(imageKeyOf(id), std::nullopt);
    }
    // A file whose neighbour record names no usable slot: nothing to mark.
    void rejectWithoutSlot() { sink_.image({}, std::nullopt); }

    const std::vector<CharacterSource>& files_;
    const std::vector<const CharacterFile*>& characters_;
    const NeighborhoodIndex& index_;
    ByteView data_;
    Persons& persons_;
    LoadSink& sink_;
    const StringTable& strings_;
    std::array<Holder, kSlotCount> holders_{};
    std::vector<PickerEntry> entries_;
    std::vector<bool> kept_;
};

std::vector<PickerEntry> FilePass::takeEntries() {
    std::vector<PickerEntry> out;
    out.reserve(entries_.size());
    for (std::size_t e = 0; e < entries_.size(); ++e) {
        if (kept_[e])
            out.push_back(std::move(entries_[e]));
    }
    entries_.clear();
    kept_.clear();
    return out;
}

void FilePass::run(std::size_t k) {
    const CharacterSource& source = files_[k];
    const int imageNumber = static_cast<int>(k) + 1;
    sink_.advance(1);

    const CharacterFile& character = *characters_[k];
    const std::size_t offset = index_.nameOffset(k);
    const std::optional<int> slot = slotAt(offset);

    if (!character.accepted) {
        fileError(source.fileName, source.bytes || source.parsed ? "" : source.error);
        sink_.advance(5);
        if (slot) {
            claim(*slot, k);
            reject(*slot);
        } else {
            rejectWithoutSlot();
        }
        return;
    }
    if (!slot) {
        fileError(source.fileName);
        sink_.advance(5);
        rejectWithoutSlot();
        return;
    }
    const int id = *slot;
    sink_.advance(1);

    std::string familyName;
    Long money = 0;
    FilePos moneyPos = 0;
    Integer house = 0;
    if (const auto family = index_.familyOf(character.personKey); family && !family->name.empty()) {
        if (family->house > kMaxHouse) {
            fileError(source.fileName);
            sink_.advance(4);
            claim(id, k);
            reject(id);
            return;
        }
        familyName = family->name;
        money = family->money;
        moneyPos = static_cast<FilePos>(family->offset + fam::Money + 1);
        house = family->house;
    }

    sink_.advance(1);
    const bool heldBefore = claim(id, k);
    PersonRecord& p = persons_[id];
    p.NamePos = static_cast<FilePos>(offset + 1);
    p.Id = static_cast<Integer>(id);
    p.FirstName = character.firstName;
    p.FamilyName = familyName;
    p.Money = money;
    p.MoneyPos = moneyPos;
    p.House = house;
    p.Rejected = kFalse;
    // Relationships an earlier file put into this slot point into that file's record; kept,
    // an edit of this person would be written into the other one. A slot no file held
    // before is as the empty table gave it.
    if (heldBefore) {
        p.HasRelation.fill(kFalse);
        p.Relation.fill(0);
        p.RelationPos.fill(0);
        p.Loves.fill(kFalse);
    }

    p.Sex = valueAt(offset, nbr::Sex);
    const Integer ghost = valueAt(offset, nbr::IsGhost);
    if (ghost != 0 && ghost != 1) {
        fileError(source.fileName);
        sink_.advance(3);
        reject(id);
        return;
    }
    p.IsGhost = toBoolean(ghost == 1);
    for (const Check& check : kChecks) {
        const Integer value = valueAt(offset, check.offset);
        if (value < check.min || value > check.max) {
            p.*check.field = check.substitute;
            valueError(source.fileName);
            sink_.advance(3);
            reject(id);
            return;
        }
        p.*check.field = value;
    }
    sink_.advance(1);

    sink_.image(imageKeyOf(id), character.portrait);
    addEntry(id, pickerText(p.FamilyName, p.FirstName), imageNumber);
    sink_.advance(1);

    for (const RelationEntry& entry : index_.relations(offset)) {
        p.HasRelation[entry.otherId] = kTrue;
        p.Relation[entry.otherId] = entry.value;
        p.RelationPos[entry.otherId] = entry.position;
        p.Loves[entry.otherId] = toBoolean(entry.loves);
    }
    sink_.advance(1);
}

// Passes everything on, but only the first kMessagesShown messages as messages: the later
// ones are logged and gathered into one message that close() sends.
class GatheringSink : public LoadSink {
  public:
    GatheringSink(LoadSink& sink, const StringTable& strings) : sink_(sink), strings_(strings) {}

    void begin(int maximum) override { sink_.begin(maximum); }
    void advance(int amount) override { sink_.advance(amount); }
    void image(const std::string& key, const std::optional<Bytes>& portrait) override {
        sink_.image(key, portrait);
    }
    void log(const std::string& text) override { sink_.log(text); }
    void message(const std::string& text) override {
        if (shown_ < kMessagesShown) {
            ++shown_;
            sink_.message(text);
            return;
        }
        sink_.log(text);
        if (gathered_.size() < static_cast<std::size_t>(kMessagesListed))
            gathered_.push_back(text.substr(0, text.find('\n')));
        ++count_;
    }
    void close() {
        if (count_ == 0)
            return;
        std::string text = strings_.text(text::MoreMessages) + std::to_string(count_);
        for (const std::string& line : gathered_)
            text += "\n" + line;
        if (count_ > gathered_.size())
            text += "\n...";
        sink_.message(text + "\n" + strings_.text(text::FullListLogged));
    }

  private:
    LoadSink& sink_;
    const StringTable& strings_;
    int shown_ = 0;
    std::size_t count_ = 0;
    std::vector<std::string> gathered_;
};

}  // namespace

void LoadSink::log(const std::string& text) {
    std::fprintf(stderr, "vondrel: %s\n", text.c_str());
}

std::string imageKeyOf(int id) {
    return "ID=" + std::to_string(id);
}

namespace {

// The character file of each source: the one parsed already, or one read here from its bytes
// into `readHere` (an empty one, not accepted, for a file that could not be read).
std::vector<const CharacterFile*> charactersOf(const std::vector<CharacterSource>& files,
                                               std::vector<CharacterFile>& readHere) {
    readHere.reserve(files.size());
    std::vector<const CharacterFile*> characters;
    characters.reserve(files.size());
    for (const CharacterSource& file : files) {
        if (file.parsed) {
            characters.push_back(&*file.parsed);
            continue;
        }
        if (file.bytes) {
            readHere.push_back(readCharacterFile(file.fileName, *file.bytes));
        } else {
            readHere.emplace_back().recordName = recordNameOf(file.fileName);
        }
        characters.push_back(&readHere.back());
    }
    return characters;
}

// The pass over files whose record names `index` has placed.
std::vector<PickerEntry> runPass(const std::vector<CharacterSource>& files,
                                 const std::vector<const CharacterFile*>& characters,
                                 NeighborhoodIndex& index, Persons& persons, LoadSink& sink,
                                 const StringTable& strings) {
    std::vector<std::string> keys;
    keys.reserve(characters.size());
    for (const CharacterFile* character : characters) {
        if (character->accepted)
            keys.push_back(character->personKey);
    }
    index.indexFamilies(keys);

    FilePass pass(files, characters, index, persons, sink, strings);
    for (std::size_t k = 0; k < files.size(); ++k)
        pass.run(k);
    sink.image(kUnknownImageKey, std::nullopt);
    return pass.takeEntries();
}

}  // namespace

std::vector<PickerEntry> loadPersons(const std::vector<CharacterSource>& files,
                                     ByteView neighborhood, Persons& persons, LoadSink& sink,
                                     const StringTable& strings) {
    // Each file read once; the neighbourhood is indexed for their record names and keys.
    std::vector<CharacterFile> readHere;
    const std::vector<const CharacterFile*> characters = charactersOf(files, readHere);
    std::vector<std::string> recordNames;
    recordNames.reserve(files.size());
    for (const CharacterFile* character : characters)
        recordNames.push_back(character->recordName);
    NeighborhoodIndex index(neighborhood, recordNames);
    return runPass(files, characters, index, persons, sink, strings);
}

std::vector<std::filesystem::path> listCharacterFiles(const std::filesystem::path& folder) {
    std::vector<std::filesystem::path> files;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end;
         it.increment(ec)) {
        const std::string name = utf8Of(it->path().filename());
        if (name.size() < 4 || name.front() == '.')
            continue;
        if (cp1252Lower(name.substr(name.size() - 4)) != ".iff")
            continue;
        // A pipe or a device under such a name is listed, so that reading it reports it.
        std::error_code typeError;
        if (it->is_directory(typeError))
            continue;
        files.push_back(it->path());
    }
    // Sorted by name ignoring case; each name is lowered once, not in every comparison.
    std::vector<std::pair<std::string, std::size_t>> keys;
    keys.reserve(files.size());
    for (std::size_t i = 0; i < files.size(); ++i)
        keys.emplace_back(cp1252Lower(utf8ToCp1252(utf8Of(files[i].filename()))), i);
    std::sort(keys.begin(), keys.end(), [&](const auto& a, const auto& b) {
        if (a.first != b.first)
            return a.first < b.first;
        return files[a.second].filename() < files[b.second].filename();
    });
    std::vector<std::filesystem::path> sorted;
    sorted.reserve(files.size());
    for (const auto& key : keys)
        sorted.push_back(std::move(files[key.second]));
    return sorted;
}

std::filesystem::path charactersFolderOf(const std::filesystem::path& gamePath) {
    return childIgnoringCase(childIgnoringCase(gamePath, "UserData"), "Characters");
}

std::filesystem::path neighborhoodPathOf(const std::filesystem::path& gamePath) {
    return childIgnoringCase(childIgnoringCase(gamePath, "UserData"), "Neighborhood.iff");
}

GameFolderLoad loadGameFolder(const std::string& gamePath, Persons& persons, LoadSink& sink,
                              const StringTable& strings, const FileLimits& limits) {
    return loadGameFolder(pathFromUtf8(gamePath), persons, sink, strings, limits);
}

GameFolderLoad loadGameFolder(const std::filesystem::path& gamePath, Persons& persons,
                              LoadSink& sink, const StringTable& strings,
                              const FileLimits& limits) {
    GameFolderLoad result;
    result.neighborhoodPath = neighborhoodPathOf(gamePath);

    const std::filesystem::path folder = charactersFolderOf(gamePath);
    std::error_code ec;
    if (!std::filesystem::is_directory(folder, ec)) {
        sink.message(strings.text(text::NoCharactersFolder) + utf8Of(folder) + "\n" +
                     strings.text(text::CannotGoOn));
        result.status = LoadStatus::CharactersFolderMissing;
        return result;
    }

    // Two threads share the work. The other one reads the neighbourhood file while this one
    // lists the character files; as record names come from the file names, it then searches
    // the file for them while this one reads character files. Both then take pieces of the
    // search and character files until none are left. Each character file is read into its
    // thread's reused buffer, and only what the pass needs of it is kept. Nothing reaches the
    // sink from the other thread, so the sink is told the same things in the same order as
    // when one thread does everything.
    const std::filesystem::path neighborhoodPath = result.neighborhoodPath;
    std::vector<std::filesystem::path> paths;
    std::vector<CharacterSource> sources;
    std::vector<std::string> recordNames;
    std::atomic<std::size_t> next{0};
    const auto readCharacters = [&] {
        FileReader reader;
        for (std::size_t k; (k = next.fetch_add(1)) < paths.size();) {
            CharacterSource& source = sources[k];
            if (const auto bytes = reader.read(paths[k], limits.character, source.error))
                source.parsed = readCharacterFile(source.fileName, *bytes);
        }
    };
    enum ListingState { Listing, GoOn, Stop };
    std::atomic<int> listing{Listing};
    ReadResult neighborhood;
    std::optional<NeighborhoodScan> scan;
    std::promise<void> neighborhoodRead;
    std::future<void> neighborhoodReady = neighborhoodRead.get_future();
    const auto other = [&, neighborhoodPath] {
        {
            // However this part ends, the thread waiting for it goes on; what went wrong
            // reaches it through this thread's result.
            struct Ready {
                std::promise<void>& read;
                ~Ready() { read.set_value(); }
            } ready{neighborhoodRead};
            neighborhood = readWholeFile(neighborhoodPath, limits.neighborhood);
            listing.wait(Listing);
            if (listing.load() == Stop)
                return;
            if (neighborhood.bytes)
                scan.emplace(*neighborhood.bytes, recordNames);
        }
        if (scan)
            scan->scanPieces();
        readCharacters();
    };
    std::future<void> otherDone;
    try {
        otherDone = std::async(std::launch::async, other);
    } catch (const std::system_error&) {
        // No second thread: this one does the other's part once the files are listed.
    }
    // Leaving before the files are listed in full stops the other thread; leaving waits
    // for it.
    struct StopUnlessGoing {
        std::atomic<int>& listing;
        ~StopUnlessGoing() {
            int expected = Listing;
            if (listing.compare_exchange_strong(expected, Stop))
                listing.notify_one();
        }
    } stopUnlessGoing{listing};

    paths = listCharacterFiles(folder);
    const int count = static_cast<int>(paths.size());
    sink.begin(kProgressPerFile * count);
    if (count == 0) {
        sink.message(kNoVeksDetected);
        result.status = LoadStatus::NoCharacters;
        return result;
    }
    sources.resize(paths.size());
    recordNames.reserve(paths.size());
    for (std::size_t k = 0; k < paths.size(); ++k) {
        sources[k].fileName = utf8Of(paths[k].filename());
        recordNames.push_back(recordNameOf(sources[k].fileName));
    }
    listing.store(GoOn);
    listing.notify_one();
    if (!otherDone.valid())
        other();
    readCharacters();
    neighborhoodReady.get();
    if (scan)
        scan->scanPieces();
    if (otherDone.valid())
        otherDone.get();

    if (!scan) {
        sink.message(strings.text(text::CouldNotRead) + utf8Of(result.neighborhoodPath) + " (" +
                     neighborhood.error + ")\n" + strings.text(text::CannotGoOn));
        result.status = LoadStatus::NeighborhoodUnreadable;
        return result;
    }
    NeighborhoodIndex index(*scan);
    std::vector<CharacterFile> readHere;
    const std::vector<const CharacterFile*> characters = charactersOf(sources, readHere);
    GatheringSink gathering(sink, strings);
    result.entries = runPass(sources, characters, index, persons, gathering, strings);
    gathering.close();
    // Moved, not copied: the index's view of the bytes is not used after this.
    result.neighborhood = std::move(*neighborhood.bytes);
    return result;
}

}  // namespace vondrel
