#include "editing/Careers.h"

namespace vondrel {

int jobItemOfTrack(Integer track) {
    return track >= -1 && track <= 10 ? track + 2 : 0;
}

int titleId(const CareerRow& row, Integer sex, int level) {
    return row.firstTitleId + level + (sex != 0 ? kFemaleOffset : 0);
}

}  // namespace vondrel
