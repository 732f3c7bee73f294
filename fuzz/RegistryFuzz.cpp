// libFuzzer target: the input is the text of a Wine prefix's system.reg. The game's value is
// looked up as the program does, once more with the key and value names in other letter
// cases (which must not matter), and a string found is turned into a local path.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "platform/WineRegistry.h"

namespace {

using vondrel::RegistryType;
using vondrel::RegistryValue;
using vondrel::WineRegistry;

void require(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "RegistryFuzz: broken invariant: %s\n", what);
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::optional<RegistryValue> value =
        WineRegistry::find(text, "Software\\Norvo\\The Veks", "VEKS_DATA");
    const std::optional<RegistryValue> again =
        WineRegistry::find(text, "\\SOFTWARE\\norvo\\THE VEKS\\", "veks_data");
    require(value.has_value() == again.has_value(), "letter case changed whether it is found");
    if (!value)
        return 0;
    require(value->type == again->type && value->data == again->data,
            "letter case changed the value");
    require(value->type == RegistryType::String || value->type == RegistryType::Binary ||
                value->type == RegistryType::Other,
            "a type the reader does not make");
    if (value->type == RegistryType::Other)
        require(value->data.empty(), "data for a value of another type");
    if (value->type != RegistryType::String)
        return 0;
    require(value->data.find('\0') == std::string::npos, "a string holds a NUL");

    // The prefix does not exist: every component is taken as it stands.
    const WineRegistry registry("/nonexistent-vondrel-prefix");
    const std::string local = registry.toLocalPath(value->data);
    require(local.find('\\') == std::string::npos, "a backslash left in the local path");
    require(local.size() <= value->data.size() + 64, "the local path grew out of proportion");
    return 0;
}
