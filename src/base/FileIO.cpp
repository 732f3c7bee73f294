#include "base/FileIO.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include <sys/stat.h>

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif
#ifdef __linux__
#include <sys/mman.h>
#endif

#ifdef _WIN32
#include "base/Windows.h"
// After windows.h, which it builds on.
#include <shellapi.h>
#endif

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

#ifdef _WIN32
std::string utf8FromWide(std::wstring_view wide) {
    if (wide.empty())
        return {};
    const int length = static_cast<int>(wide.size());
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), length, utf8.data(), size, nullptr, nullptr);
    return utf8;
}

std::wstring wideFromUtf8(std::string_view utf8) {
    if (utf8.empty())
        return {};
    const int length = static_cast<int>(utf8.size());
    const int size = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, wide.data(), size);
    return wide;
}

std::filesystem::path pathFromUtf8(std::string_view utf8) {
    return std::filesystem::path(wideFromUtf8(utf8));
}

std::string utf8Of(const std::filesystem::path& path) {
    return utf8FromWide(path.native());
}

std::vector<std::string> utf8Arguments(int argc, char** argv) {
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wide == nullptr)
        return std::vector<std::string>(argv, argv + argc);
    std::vector<std::string> arguments;
    for (int i = 0; i < count; ++i)
        arguments.push_back(utf8FromWide(wide[i]));
    LocalFree(wide);
    return arguments;
}
#else
std::filesystem::path pathFromUtf8(std::string_view utf8) {
    return std::filesystem::path(utf8);
}

std::string utf8Of(const std::filesystem::path& path) {
    return path.native();
}

std::vector<std::string> utf8Arguments(int argc, char** argv) {
    return std::vector<std::string>(argv, argv + argc);
}
#endif

FilePtr openFile(const std::filesystem::path& path, const char* mode) {
#ifdef _WIN32
    const std::wstring wideMode(mode, mode + std::strlen(mode));
    return FilePtr(_wfopen(path.c_str(), wideMode.c_str()));
#else
    return FilePtr(std::fopen(path.c_str(), mode));
#endif
}

FilePtr openRegularFile(const std::filesystem::path& path, std::string& error) {
#ifdef _WIN32
    FilePtr file = openFile(path, "rb");
    if (!file) {
        error = std::strerror(errno);
        return nullptr;
    }
    struct _stat64 info {};
    const bool known = ::_fstat64(::_fileno(file.get()), &info) == 0;
    const bool folder = known && (info.st_mode & _S_IFDIR) != 0;
    const bool regular = known && (info.st_mode & _S_IFREG) != 0;
#else
    // Non-blocking, so that a pipe or a device in the file's place cannot stall the open;
    // such a file is refused right after.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        error = std::strerror(errno);
        return nullptr;
    }
    struct stat info {};
    const bool known = ::fstat(fd, &info) == 0;
    const bool folder = known && S_ISDIR(info.st_mode);
    const bool regular = known && S_ISREG(info.st_mode);
    FilePtr file(regular ? ::fdopen(fd, "rb") : nullptr);
    if (!file) {
        const int reason = errno;
        ::close(fd);
        error = regular ? std::strerror(reason) : folder ? "it is a folder" : "not a regular file";
        return nullptr;
    }
#endif
    if (!regular) {
        error = folder ? "it is a folder" : "not a regular file";
        return nullptr;
    }
    return file;
}

std::string sizeText(std::uint64_t bytes) {
    const std::string exact = std::to_string(bytes) + " bytes";
    if (bytes < kMebibyte)
        return exact;
    return std::to_string(bytes / kMebibyte) + " MiB (" + exact + ")";
}

namespace {

// Fresh memory costs a fault per page when first touched, which for a file of tens of
// megabytes takes as long as reading it. Such a buffer asks for large pages, which it fills
// with a fault per two megabytes; where the system has none it gets small ones as before.
void preferLargePages([[maybe_unused]] std::uint8_t* data, [[maybe_unused]] std::size_t size) {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    constexpr std::size_t kFrom = std::size_t{16} << 20;
    constexpr std::uintptr_t kLargePage = std::uintptr_t{2} << 20;
    if (size < kFrom)
        return;
    const auto begin = reinterpret_cast<std::uintptr_t>(data);
    const std::uintptr_t first = (begin + kLargePage - 1) & ~(kLargePage - 1);
    const std::uintptr_t last = (begin + size) & ~(kLargePage - 1);
    if (last > first)
        ::madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
#endif
}

// Reads an open regular file to its end into the memory `room` gives: room(n, keep) returns
// at least n bytes that start with the first `keep` bytes it gave before. A file of more than
// `limit` bytes is refused before any of it is read; one that grows while it is read is read
// on to its end, as long as it stays within the limit. The number of bytes read, or nothing
// with the reason in `error`.
template <typename Room>
std::optional<std::size_t> readOpenFile(std::FILE* file, std::uint64_t limit, Room&& room,
                                        std::string& error) {
    const auto tooLarge = [&](std::uint64_t size) {
        error =
            "it holds " + sizeText(size) + ", more than the " + sizeText(limit) + " Vondrel reads";
        return std::nullopt;
    };
#ifdef _WIN32
    struct _stat64 info {};
    const bool known = ::_fstat64(::_fileno(file), &info) == 0;
#else
    struct stat info {};
    const bool known = ::fstat(::fileno(file), &info) == 0;
#endif
    const std::uint64_t size =
        known && info.st_size > 0 ? static_cast<std::uint64_t>(info.st_size) : 0;
    if (size > limit)
        return tooLarge(size);
    // Read straight into the caller's memory, without a copy in between.
    std::setvbuf(file, nullptr, _IONBF, 0);
    // One byte more than the file holds: a read that fills less has met the end, so the usual
    // file takes a single read.
    std::size_t asked = static_cast<std::size_t>(size) + 1;
    std::size_t total = std::fread(room(asked, 0), 1, asked, file);
    while (total == asked && !std::ferror(file)) {
        if (total > limit)
            return tooLarge(total);
        asked = total + (std::size_t{1} << 12);
        const std::size_t more = std::fread(room(asked, total) + total, 1, asked - total, file);
        total += more;
    }
    if (std::ferror(file)) {
        error = std::strerror(errno);
        return std::nullopt;
    }
    if (total > limit)
        return tooLarge(total);
    return total;
}

}  // namespace

ReadResult readWholeFile(const std::filesystem::path& path, std::uint64_t limit) {
    std::string error;
    FilePtr file = openRegularFile(path, error);
    if (!file)
        return {std::nullopt, error};
    Bytes bytes;
    const std::optional<std::size_t> size = readOpenFile(
        file.get(), limit,
        [&](std::size_t want, std::size_t) {
            if (want > bytes.capacity()) {
                // A file that keeps growing past its size is read in small steps: grow by
                // half each time, so it is not copied once per step.
                bytes.reserve(std::max(want, bytes.capacity() + bytes.capacity() / 2));
                preferLargePages(bytes.data(), bytes.capacity());
            }
            bytes.resize(want);
            return bytes.data();
        },
        error);
    if (!size)
        return {std::nullopt, error};
    bytes.resize(*size);
    return {std::move(bytes), {}};
}

std::optional<ByteView> FileReader::read(const std::filesystem::path& path, std::uint64_t limit,
                                         std::string& error) {
    FilePtr file = openRegularFile(path, error);
    if (!file)
        return std::nullopt;
    const std::optional<std::size_t> size = readOpenFile(
        file.get(), limit,
        [&](std::size_t want, std::size_t keep) {
            if (want > capacity_) {
                const std::size_t capacity = std::max(want, capacity_ + capacity_ / 2);
                // Left uninitialised: every byte handed out is read into it first.
                std::unique_ptr<std::uint8_t[]> data(new std::uint8_t[capacity]);
                if (keep > 0)
                    std::memcpy(data.get(), data_.get(), keep);
                data_ = std::move(data);
                capacity_ = capacity;
            }
            return data_.get();
        },
        error);
    if (!size)
        return std::nullopt;
    return ByteView(data_.get(), *size);
}

bool FileExists(const std::filesystem::path& path) {
    std::string error;
    return openRegularFile(path, error) != nullptr;
}

std::filesystem::path childIgnoringCase(const std::filesystem::path& base,
                                        const std::string& name) {
    std::filesystem::path exact = base / pathFromUtf8(name);
    std::error_code ec;
#ifndef _WIN32
    if (std::filesystem::exists(exact, ec))
        return exact;
#endif
    // Windows opens any spelling, but the entry found carries the name as it is on disk.
    for (std::filesystem::directory_iterator it(base, ec), end; !ec && it != end;
         it.increment(ec)) {
        if (sameIgnoringCase(utf8Of(it->path().filename()), name))
            return it->path();
    }
    return exact;
}

}  // namespace vondrel
