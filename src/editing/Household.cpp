#include "editing/Household.h"

#include <algorithm>

#include "editing/Backups.h"
#include "gamedata/NeighborhoodFile.h"

namespace vondrel {

// The values a save writes: the sixteen 16-bit person values (in the order of kIntegers),
// then the family money, the ghost flag and, per other person, the relationship value and
// the love flag.
enum class Household::Field : std::uint8_t {
    Neat,
    Outgoing,
    Active,
    Playful,
    Nice,
    Cooking,
    Mechanical,
    Charisma,
    Body,
    Logic,
    Creativity,
    JobTrack,
    JobLevel,
    JobPerformance,
    Cleaning,
    LingerHouse,
    Money,
    IsGhost,
    Relation,
    Loves
};

namespace {

struct IntegerValue {
    Integer PersonRecord::*member;
    std::size_t offset;
};

constexpr IntegerValue kIntegers[] = {
    {&PersonRecord::Neat, nbr::Neat},
    {&PersonRecord::Outgoing, nbr::Outgoing},
    {&PersonRecord::Active, nbr::Active},
    {&PersonRecord::Playful, nbr::Playful},
    {&PersonRecord::Nice, nbr::Nice},
    {&PersonRecord::Cooking, nbr::Cooking},
    {&PersonRecord::Mechanical, nbr::Mechanical},
    {&PersonRecord::Charisma, nbr::Charisma},
    {&PersonRecord::Body, nbr::Body},
    {&PersonRecord::Logic, nbr::Logic},
    {&PersonRecord::Creativity, nbr::Creativity},
    {&PersonRecord::JobTrack, nbr::JobTrack},
    {&PersonRecord::JobLevel, nbr::JobLevel},
    {&PersonRecord::JobPerformance, nbr::JobPerformance},
    {&PersonRecord::Cleaning, nbr::Cleaning},
    {&PersonRecord::LingerHouse, nbr::LingerHouse},
};
constexpr std::size_t kIntegerCount = std::size(kIntegers);

Household::Field fieldOf(Integer PersonRecord::*member) {
    for (std::size_t i = 0; i < kIntegerCount; ++i) {
        if (kIntegers[i].member == member)
            return static_cast<Household::Field>(i);
    }
    return Household::Field::Money;  // not reached: every person value is in the table
}

// The house a new ghost lingers at: the one it has, else its family's, else house 1. A family
// house outside 1..10 (the load lets negative numbers through) would make the file
// unreadable for the next load, so it is never taken.
Integer lingerHouseOfGhost(const PersonRecord& person) {
    if (person.LingerHouse != 0)
        return person.LingerHouse;
    return person.House >= 1 && person.House <= 10 ? person.House : Integer{1};
}

}  // namespace

Integer PersonRecord::*attributeField(Attribute attribute) {
    static constexpr Integer PersonRecord::*kFields[] = {
        &PersonRecord::Neat,    &PersonRecord::Outgoing,   &PersonRecord::Active,
        &PersonRecord::Playful, &PersonRecord::Nice,       &PersonRecord::Cleaning,
        &PersonRecord::Cooking, &PersonRecord::Mechanical, &PersonRecord::Charisma,
        &PersonRecord::Body,    &PersonRecord::Logic,      &PersonRecord::Creativity,
    };
    return kFields[static_cast<std::size_t>(attribute)];
}

// Collects the changes of one step, applying each at once so later parts of the step see it.
class Household::Edit {
  public:
    Edit(Household& household, int subject, std::optional<Key> gesture = std::nullopt)
        : household_(household), step_{subject, {}, gesture} {}

    // False when the value is not one the save could write.
    bool set(const Key& key, Long value) {
        if (!household_.writable(key))
            return false;
        const Long before = household_.get(key);
        if (before != value) {
            household_.put(key, value);
            household_.track(key, before, value);
            step_.changes.push_back({key, before, value});
        }
        return true;
    }
    bool set(int id, Integer PersonRecord::*member, Long value) {
        return set({id, fieldOf(member), 0}, value);
    }
    bool commit() { return household_.commit(std::move(step_)); }

  private:
    Household& household_;
    Step step_;
};

Household::Household(std::filesystem::path neighborhoodPath, Bytes loaded, Persons persons,
                     std::vector<PickerEntry> entries, FileOpener& files)
    : persons_(std::move(persons)),
      entries_(std::move(entries)),
      saver_(std::move(neighborhoodPath), std::move(loaded), files) {}

Household::~Household() = default;

bool Household::isEditable(int id) const {
    if (!isValidId(id))
        return false;
    const PersonRecord& p = persons_[id];
    return p.NamePos > 0 && !isTrue(p.Rejected);
}

bool Household::hasWritableRelation(int holder, int other) const {
    return isValidId(other) && writable({holder, Field::Relation, other});
}

std::vector<int> Household::familyOf(int id) const {
    std::vector<int> members;
    if (!isEditable(id))
        return members;
    const FilePos family = persons_[id].MoneyPos;
    for (int j = kMinId; j <= kMaxId; ++j) {
        if (isEditable(j) && persons_[j].MoneyPos == family)
            members.push_back(j);
    }
    return members;
}

Long Household::get(const Key& key) const {
    const PersonRecord& p = persons_[key.id];
    switch (key.field) {
        case Field::Money:
            return p.Money;
        case Field::IsGhost:
            return isTrue(p.IsGhost) ? 1 : 0;
        case Field::Relation:
            return p.Relation[key.other];
        case Field::Loves:
            return isTrue(p.Loves[key.other]) ? 1 : 0;
        default:
            return p.*kIntegers[static_cast<std::size_t>(key.field)].member;
    }
}

void Household::put(const Key& key, Long value) {
    PersonRecord& p = persons_[key.id];
    switch (key.field) {
        case Field::Money:
            p.Money = value;
            break;
        case Field::IsGhost:
            p.IsGhost = toBoolean(value != 0);
            break;
        case Field::Relation:
            p.Relation[key.other] = value;
            break;
        case Field::Loves:
            p.Loves[key.other] = toBoolean(value != 0);
            break;
        default:
            p.*kIntegers[static_cast<std::size_t>(key.field)].member = static_cast<Integer>(value);
    }
}

std::optional<Patch> Household::patchOf(const Key& key) const {
    const PersonRecord& p = persons_[key.id];
    const auto record = static_cast<std::uint64_t>(p.NamePos) - 1;
    const Long value = get(key);
    switch (key.field) {
        case Field::Money:
            if (p.MoneyPos <= 0)
                return std::nullopt;
            return Patch{static_cast<std::uint64_t>(p.MoneyPos) - 1, 4, value};
        case Field::IsGhost:
            return Patch{record + nbr::IsGhost, 2, value};
        case Field::Relation:
        case Field::Loves: {
            if (!isValidId(key.other) || !isTrue(p.HasRelation[key.other]) ||
                p.RelationPos[key.other] <= 0) {
                return std::nullopt;
            }
            const auto at = static_cast<std::uint64_t>(p.RelationPos[key.other]) - 1;
            return key.field == Field::Relation ? Patch{at, 4, value} : Patch{at + 4, 2, value};
        }
        default:
            return Patch{record + kIntegers[static_cast<std::size_t>(key.field)].offset, 2, value};
    }
}

bool Household::writable(const Key& key) const {
    if (!isEditable(key.id))
        return false;
    const std::optional<Patch> patch = patchOf(key);
    const std::uint64_t size = saver_.expected().size();
    return patch && patch->offset <= size &&
           size - patch->offset >= static_cast<std::uint64_t>(patch->width);
}

void Household::track(const Key& key, Long before, Long after) {
    const auto [it, added] = unsaved_.try_emplace(key, before);
    if (it->second == after)
        unsaved_.erase(it);
}

bool Household::commit(Step step) {
    if (step.changes.empty())
        return false;
    const bool merges = gestureOpen_ && step.gesture && position_ == history_.size() &&
                        position_ > 0 && history_.back().gesture == step.gesture;
    if (merges) {
        auto& changes = history_.back().changes;
        changes.insert(changes.end(), step.changes.begin(), step.changes.end());
    } else {
        history_.resize(position_);
        history_.push_back(std::move(step));
        ++position_;
    }
    gestureOpen_ = history_.back().gesture.has_value();
    return true;
}

bool Household::setAttribute(int id, Attribute attribute, Integer value) {
    Edit edit(*this, id);
    edit.set(id, attributeField(attribute), value);
    return edit.commit();
}

bool Household::setPerformance(int id, Integer performance) {
    const Key key{id, Field::JobPerformance, 0};
    Edit edit(*this, id, key);
    edit.set(key, performance);
    return edit.commit();
}

bool Household::chooseCareer(int id, Integer track) {
    if (track < -1 || track > 10)
        return false;
    Edit edit(*this, id);
    if (edit.set(id, &PersonRecord::JobTrack, track) && track <= 0)
        edit.set(id, &PersonRecord::JobLevel, 0);
    return edit.commit();
}

bool Household::chooseTitle(int id, Integer level) {
    if (level < 0 || level > kBestJobLevel)
        return false;
    Edit edit(*this, id);
    edit.set(id, &PersonRecord::JobLevel, level);
    return edit.commit();
}

bool Household::setRelation(int holder, int other, Long value) {
    const Key key{holder, Field::Relation, other};
    Edit edit(*this, holder, key);
    edit.set(key, value);
    return edit.commit();
}

bool Household::setLoves(int holder, int other, bool loves) {
    Edit edit(*this, holder);
    edit.set({holder, Field::Loves, other}, loves ? 1 : 0);
    return edit.commit();
}

bool Household::setFamilyMoney(int id, Long money) {
    if (!isEditable(id) || persons_[id].MoneyPos <= 0)
        return false;
    // Typing the money of one household is one gesture, whoever of it is shown.
    const Key gesture{kMinId, Field::Money, familyOf(id).front()};
    Edit edit(*this, id, gesture);
    for (const int member : familyOf(id))
        edit.set({member, Field::Money, 0}, money);
    return edit.commit();
}

bool Household::setGhost(int id, bool ghost) {
    if (!isEditable(id))
        return false;
    const Integer house = lingerHouseOfGhost(persons_[id]);
    Edit edit(*this, id);
    edit.set({id, Field::IsGhost, 0}, ghost ? 1 : 0);
    if (ghost)
        edit.set(id, &PersonRecord::LingerHouse, house);
    return edit.commit();
}

bool Household::setLingerHouse(int id, Integer house) {
    if (house < 1 || house > 10)
        return false;
    Edit edit(*this, id);
    edit.set(id, &PersonRecord::LingerHouse, house);
    return edit.commit();
}

void Household::maximize(Edit& edit, int id, bool relationships, bool bestJob) {
    for (int a = 0; a < kAttributeCount; ++a)
        edit.set(id, attributeField(static_cast<Attribute>(a)), kBestAttribute);
    if (relationships) {
        for (int j = kMinId; j <= kMaxId; ++j) {
            if (!isTrue(persons_[id].HasRelation[j]))
                continue;
            edit.set({id, Field::Relation, j}, kBestRelation);
            // Only a person whose own list names this one has a value the save can write.
            edit.set({j, Field::Relation, id}, kBestRelation);
        }
    }
    if (bestJob) {
        edit.set(id, &PersonRecord::JobLevel, kBestJobLevel);
        edit.set(id, &PersonRecord::JobTrack, kBestJobTrack);
        edit.set(id, &PersonRecord::JobPerformance, kBestJobPerformance);
    }
}

bool Household::maximizePerson(int id, bool relationships, bool bestJob) {
    if (!isEditable(id))
        return false;
    Edit edit(*this, id);
    maximize(edit, id, relationships, bestJob);
    return edit.commit();
}

bool Household::maximizeFamily(int id, bool relationships, bool bestJob) {
    Edit edit(*this, id);
    for (const int member : familyOf(id))
        maximize(edit, member, relationships, bestJob);
    return edit.commit();
}

bool Household::isSaved() const {
    return unsaved_.empty() && !saver_.hasUnsettledBytes();
}

std::optional<int> Household::undo() {
    if (!canUndo())
        return std::nullopt;
    gestureOpen_ = false;
    const Step& step = history_[--position_];
    for (auto c = step.changes.rbegin(); c != step.changes.rend(); ++c) {
        put(c->key, c->before);
        track(c->key, c->after, c->before);
    }
    return step.subject;
}

std::optional<int> Household::redo() {
    if (!canRedo())
        return std::nullopt;
    gestureOpen_ = false;
    const Step& step = history_[position_++];
    for (const Change& c : step.changes) {
        put(c.key, c.after);
        track(c.key, c.before, c.after);
    }
    return step.subject;
}

std::vector<Patch> Household::pendingWrites() const {
    // By position; of two values at one position the later key's is kept. The values come
    // in key order, so a stable sort keeps that order among equal positions.
    std::vector<Patch> found;
    found.reserve(unsaved_.size());
    for (const auto& [key, fileValue] : unsaved_) {
        if (const std::optional<Patch> patch = patchOf(key))
            found.push_back(*patch);
    }
    const auto byOffset = [](const Patch& a, const Patch& b) { return a.offset < b.offset; };
    std::stable_sort(found.begin(), found.end(), byOffset);
    std::vector<Patch> patches;
    patches.reserve(found.size());
    for (std::size_t i = 0; i < found.size(); ++i) {
        if (i + 1 == found.size() || found[i + 1].offset != found[i].offset)
            patches.push_back(found[i]);
    }
    return patches;
}

SaveOutcome Household::save(const StringTable& strings) {
    const auto keepCopy = [&]() -> std::string {
        if (backups_ == nullptr || backedUp_)
            return {};
        if (std::string error = backups_->keep(saver_.expected()); !error.empty())
            return strings.text(text::BackupFailed) + "\n" + error;
        backedUp_ = true;
        return {};
    };
    SaveOutcome outcome = saver_.save(pendingWrites(), keepCopy, strings);
    gestureOpen_ = false;
    if (outcome.saved)
        unsaved_.clear();
    return outcome;
}

}  // namespace vondrel
