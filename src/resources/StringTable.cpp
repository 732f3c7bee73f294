#include "resources/StringTable.h"

#include <charconv>
#include <stdexcept>

namespace vondrel {

extern const char* const kBuiltInStrings;

const StringTable& StringTable::builtIn() {
    static const StringTable table = parse(kBuiltInStrings);
    return table;
}

StringTable StringTable::parse(std::string_view source) {
    StringTable table;
    int lineNumber = 0;
    while (!source.empty()) {
        const auto end = source.find('\n');
        std::string_view line = source.substr(0, end);
        source = end == std::string_view::npos ? std::string_view() : source.substr(end + 1);
        ++lineNumber;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.empty() || line.front() == '#')
            continue;

        const auto fail = [&](const char* why) {
            throw std::runtime_error("string table line " + std::to_string(lineNumber) + ": " +
                                     why);
        };
        int id = 0;
        const auto [idEnd, ec] = std::from_chars(line.data(), line.data() + line.size(), id);
        if (ec != std::errc())
            fail("no id");
        std::string_view rest = line.substr(static_cast<std::size_t>(idEnd - line.data()));
        if (rest.size() < 3 || rest[0] != ' ' || rest[1] != '"' || rest.back() != '"') {
            fail("the text must stand in double quotes after one space");
        }
        rest = rest.substr(2, rest.size() - 3);
        std::string text;
        for (std::size_t i = 0; i < rest.size(); ++i) {
            if (rest[i] == '\\' && i + 1 < rest.size()) {
                const char c = rest[++i];
                text += c == 'n' ? '\n' : c;
            } else {
                text += rest[i];
            }
        }
        if (!table.texts_.emplace(id, std::move(text)).second)
            fail("id given twice");
    }
    return table;
}

const std::string& StringTable::text(int id) const {
    static const std::string empty;
    const auto it = texts_.find(id);
    return it == texts_.end() ? empty : it->second;
}

}  // namespace vondrel
