#include "base/FileIO.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include <sys/stat.h>

#include "base/Cp1252.h"

namespace vondrel {
namespace {

bool fitsCodePage(const std::string& utf8) {
    return cp1252ToUtf8(utf8ToCp1252(utf8)) == utf8;
}

// Letter case is folded as the game's code page knows it; names it cannot hold must match
// exactly.
bool sameIgnoringCase(const std::string& a, const std::string& b) {
    if (a == b)
        return true;
    if (!fitsCodePage(a) || !fitsCodePage(b))
        return false;
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

std::string utf8Of(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

ReadResult readWholeFile(const std::filesystem::path& path) {
    FilePtr file = openFile(path, "rb");
    if (!file)
        return {std::nullopt, std::strerror(errno)};
        // One stat of the open file tells a folder apart and gives the size to read in one go.
#ifdef _WIN32
    struct _stat64 info {};
    const bool known = ::_fstat64(::_fileno(file.get()), &info) == 0;
    const bool folder = known && (info.st_mode & _S_IFDIR) != 0;
    const bool regular = known && (info.st_mode & _S_IFREG) != 0;
#else
    struct stat info {};
    const bool known = ::fstat(::fileno(file.get()), &info) == 0;
    const bool folder = known && S_ISDIR(info.st_mode);
    const bool regular = known && S_ISREG(info.st_mode);
#endif
    if (folder)
        return {std::nullopt, "it is a folder"};
    Bytes bytes(regular ? static_cast<std::size_t>(info.st_size) : 0);
    bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file.get()));
    // A file that has grown since (or has no size) is read on to its end.
    std::uint8_t buffer[1 << 12];
    while (!std::ferror(file.get()) && !std::feof(file.get())) {
        const std::size_t more = std::fread(buffer, 1, sizeof buffer, file.get());
        bytes.insert(bytes.end(), buffer, buffer + more);
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
