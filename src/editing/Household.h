#pragma once

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "gamedata/NeighborhoodSave.h"
#include "gamedata/PersonLoader.h"
#include "model/Persons.h"

namespace vondrel {

class Backups;

// The twelve personality and skill values, in the order the window shows them.
enum class Attribute {
    Neat,
    Outgoing,
    Active,
    Playful,
    Nice,
    Cleaning,
    Cooking,
    Mechanical,
    Charisma,
    Body,
    Logic,
    Creativity
};
inline constexpr int kAttributeCount = 12;
Integer PersonRecord::*attributeField(Attribute attribute);

// The best values the game allows.
inline constexpr Integer kBestAttribute = 1000;
inline constexpr Long kBestRelation = 100;
inline constexpr Integer kBestJobTrack = 2;
inline constexpr Integer kBestJobLevel = 9;
inline constexpr Integer kBestJobPerformance = 100;

// The loaded household: the person table and the picker entries as loaded, every edit made
// since with its undo history, and the save. Each edit changes stored values of exactly the
// records it names and only where the value differs; showing a person is never an edit. An
// edit that would change nothing, or that names a record the save could never write (an
// empty or rejected slot, a relationship that has no entry in the file, a person without a
// family record for money), changes nothing and returns false.
class Household {
  public:
    Household(std::filesystem::path neighborhoodPath, Bytes loaded, Persons persons,
              std::vector<PickerEntry> entries, FileOpener& files = systemFiles());
    ~Household();

    const Persons& persons() const { return persons_; }
    const PersonRecord& person(int id) const { return persons_[id]; }
    // The person picker's entries, in file order, each with the id it was made from.
    const std::vector<PickerEntry>& entries() const { return entries_; }
    const std::filesystem::path& neighborhoodPath() const { return saver_.path(); }

    // A slot filled by a file that was accepted: the save can write it.
    bool isEditable(int id) const;
    // Whether `holder` has a relationship entry toward `other` that a save can write.
    bool hasWritableRelation(int holder, int other) const;
    // The persons of id's household: those whose money lies in the same family record; for a
    // person without a family, every person without one. Ascending ids.
    std::vector<int> familyOf(int id) const;

    bool setAttribute(int id, Attribute attribute, Integer value);
    // Performance -100..100 as the bar shows it; consecutive changes of one person's
    // performance (a drag) are one step.
    bool setPerformance(int id, Integer performance);
    // A career track -1..10; student and unemployed have level 0, a career keeps the level.
    bool chooseCareer(int id, Integer track);
    bool chooseTitle(int id, Integer level);
    // How `holder` feels about `other`; consecutive changes of one direction are one step.
    bool setRelation(int holder, int other, Long value);
    bool setLoves(int holder, int other, bool loves);
    // The money of id's family, for every member; consecutive changes are one step.
    bool setFamilyMoney(int id, Long money);
    // A new ghost lingers at the house it had, else its family's house, else house 1.
    bool setGhost(int id, bool ghost);
    bool setLingerHouse(int id, Integer house);
    // The best personality and skill values and, when asked, every existing relationship at
    // its best in both directions and the best job.
    bool maximizePerson(int id, bool relationships, bool bestJob);
    // The same for every member of id's household, as one step.
    bool maximizeFamily(int id, bool relationships, bool bestJob);

    // True when the file holds every value as shown: nothing edited since the load or the
    // last save, or every edit since undone.
    bool isSaved() const;
    // Ends the gesture under way: the next drag or typing starts a step of its own.
    void endGesture() { gestureOpen_ = false; }
    bool canUndo() const { return position_ > 0; }
    bool canRedo() const { return position_ < history_.size(); }
    // Undoes or redoes one step; the id of the person it was made on, nothing when there was
    // no step.
    std::optional<int> undo();
    std::optional<int> redo();

    // Where copies of the file are kept before the first save of a run changes it; none:
    // no copies (tools and tests).
    void setBackups(Backups* backups) { backups_ = backups; }
    Backups* backups() const { return backups_; }
    // What a save would write now, ascending positions.
    std::vector<Patch> pendingWrites() const;
    SaveOutcome save(const StringTable& strings = StringTable::builtIn());

    // Which stored value of a person a change is about.
    enum class Field : std::uint8_t;

  private:
    struct Key {
        int id;
        Field field;
        int other;
        auto operator<=>(const Key&) const = default;
    };
    struct Change {
        Key key;
        Long before;
        Long after;
    };
    struct Step {
        int subject;
        std::vector<Change> changes;
        // Steps of one ongoing gesture (a drag, typing) merge while this is the same.
        std::optional<Key> gesture;
    };
    class Edit;

    Long get(const Key& key) const;
    void put(const Key& key, Long value);
    void track(const Key& key, Long before, Long after);
    bool writable(const Key& key) const;
    std::optional<Patch> patchOf(const Key& key) const;
    bool commit(Step step);
    void maximize(Edit& edit, int id, bool relationships, bool bestJob);

    Persons persons_;
    std::vector<PickerEntry> entries_;
    NeighborhoodSaver saver_;
    std::vector<Step> history_;
    std::size_t position_ = 0;
    // The last step may still take in the rest of its gesture.
    bool gestureOpen_ = false;
    // Values that differ from what the file holds: key -> the value in the file.
    std::map<Key, Long> unsaved_;
    Backups* backups_ = nullptr;
    bool backedUp_ = false;
};

}  // namespace vondrel
