#include "editing/Maximize.h"

namespace vondrel {

std::vector<int> familyMembers(const Persons& persons, std::string_view familyName) {
    std::vector<int> ids;
    for (int id = kMinId; id <= kMaxId; ++id) {
        if (persons[id].FamilyName == familyName)
            ids.push_back(id);
    }
    return ids;
}

void maximizeAttributes(PersonRecord& person) {
    for (Integer PersonRecord::*field : kAttributeFields)
        person.*field = kBestAttribute;
}

std::vector<int> maximizeRelationships(Persons& persons, int id) {
    std::vector<int> others;
    for (int j = kMinId; j <= kMaxId; ++j) {
        if (!isTrue(persons[id].HasRelation[j]))
            continue;
        persons[id].Relation[j] = kBestRelation;
        persons[j].Relation[id] = kBestRelation;
        others.push_back(j);
    }
    return others;
}

void giveBestJob(PersonRecord& person) {
    person.JobLevel = kBestJobLevel;
    person.JobTrack = kBestJobTrack;
    person.JobPerformance = kBestJobPerformance;
}

}  // namespace vondrel
