#include "model/Persons.h"

namespace vondrel {

std::optional<Integer> PegaID(const Persons& persons, std::string_view firstName,
                              std::string_view familyName) {
    for (int id = kMinId; id <= kMaxId; ++id) {
        const PersonRecord& p = persons[id];
        if (p.FirstName == firstName && p.FamilyName == familyName) {
            return static_cast<Integer>(id);
        }
    }
    return std::nullopt;
}

}  // namespace vondrel
