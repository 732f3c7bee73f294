#pragma once

#include <string_view>

namespace vondrel {

// Shows the program's compiled help file.
class HelpOpener {
public:
    virtual ~HelpOpener() = default;
    // Opens `helpFile` (a file name; the opener knows where the program keeps it) at the
    // topic `topic` ("0" is the start page). Reports a failure to the user itself.
    virtual void open(std::string_view helpFile, std::string_view topic) = 0;
};

}  // namespace vondrel
