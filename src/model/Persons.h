#pragma once

#include <array>
#include <memory>

#include "model/PersonRecord.h"

namespace vondrel {

// The 501-slot person table; the index of a slot is the person's id.
class Persons {
  public:
    Persons() : slots_(std::make_unique<std::array<PersonRecord, kSlotCount>>()) {}
    Persons(const Persons& other)
        : slots_(std::make_unique<std::array<PersonRecord, kSlotCount>>(*other.slots_)) {}
    Persons& operator=(const Persons& other) {
        *slots_ = *other.slots_;
        return *this;
    }
    Persons(Persons&&) noexcept = default;
    Persons& operator=(Persons&&) noexcept = default;

    PersonRecord& operator[](int id) { return slots_->at(static_cast<std::size_t>(id)); }
    const PersonRecord& operator[](int id) const {
        return slots_->at(static_cast<std::size_t>(id));
    }
    static constexpr int size() { return kSlotCount; }

    auto begin() { return slots_->begin(); }
    auto end() { return slots_->end(); }
    auto begin() const { return slots_->cbegin(); }
    auto end() const { return slots_->cend(); }

    bool operator==(const Persons& other) const { return *slots_ == *other.slots_; }

  private:
    std::unique_ptr<std::array<PersonRecord, kSlotCount>> slots_;
};

}  // namespace vondrel
