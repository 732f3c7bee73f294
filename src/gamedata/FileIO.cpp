#include "gamedata/FileIO.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "gamedata/Cp1252.h"

namespace vondrel {
namespace {

bool fitsCodePage(const std::string& utf8) { return cp1252ToUtf8(utf8ToCp1252(utf8)) == utf8; }

// Letter case is folded as the game's code page knows it; names it cannot hold must match
// exactly.
bool sameIgnoringCase(const std::string& a, const std::string& b) {
    if (a == b) return true;
    if (!fitsCodePage(a) || !fitsCodePage(b)) return false;
    return cp1252Lower(utf8ToCp1252(a)) == cp1252Lower(utf8ToCp1252(b));
}

}  // namespace

FilePtr openFile(const std::filesystem::path& path, const char* mode) {
#ifdef _WIN32
    const std::wstring wideMode(mode, mode + std::strlen(mode));
    return FilePtr(_wfopen(path.c_str(), wideMode.c_str()));
#else
    return FilePtr(std::fopen(path.c_str(), mode));
#endif
}

ReadResult readWholeFile(const std::filesystem::path& path) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec))
        return {std::nullopt, "it is a folder"};
    FilePtr file = openFile(path, "rb");
    if (!file)
        return {std::nullopt, std::strerror(errno)};
    Bytes bytes;
    std::uint8_t buffer[1 << 16];
    for (;;) {
        const std::size_t got = std::fread(buffer, 1, sizeof buffer, file.get());
        bytes.insert(bytes.end(), buffer, buffer + got);
        if (got < sizeof buffer)
            break;
    }
    if (std::ferror(file.get()))
        return {std::nullopt, std::strerror(errno)};
    return {std::move(bytes), {}};
}

bool FileExists(const std::filesystem::path& path) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec))
        return false;
    FilePtr file = openFile(path, "rb");
    return file != nullptr;
}

std::filesystem::path childIgnoringCase(const std::filesystem::path& base,
                                        const std::string& name) {
    std::filesystem::path exact = base / name;
    std::error_code ec;
    if (std::filesystem::exists(exact, ec))
        return exact;
    for (std::filesystem::directory_iterator it(base, ec), end; !ec && it != end;
         it.increment(ec)) {
        const std::string entry = it->path().filename().string();
        if (sameIgnoringCase(entry, name))
            return it->path();
    }
    return exact;
}

}  // namespace vondrel
