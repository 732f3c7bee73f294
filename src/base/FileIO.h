#pragma once

#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/Bytes.h"

namespace vondrel {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// Paths travel through the program as UTF-8 text (settings, registry, dialogs, messages).
// These are the only crossings between that text and std::filesystem::path: on Windows a
// path is UTF-16 and a path made from a narrow string does not read it as UTF-8 (it takes
// it in the ANSI code page or byte by byte, depending on the library), so the text is
// widened here; elsewhere the bytes are kept as they are.
std::filesystem::path pathFromUtf8(std::string_view utf8);
std::string utf8Of(const std::filesystem::path& path);

// The command line as UTF-8 text. On Windows it is taken from the wide command line, as
// `argv` holds it in the ANSI code page; elsewhere `argv` is returned as it is.
std::vector<std::string> utf8Arguments(int argc, char** argv);

#ifdef _WIN32
// UTF-16 <-> UTF-8; an unpaired surrogate or an invalid byte becomes U+FFFD.
std::string utf8FromWide(std::wstring_view wide);
std::wstring wideFromUtf8(std::string_view utf8);
#endif

// fopen for paths in the platform's own form.
FilePtr openFile(const std::filesystem::path& path, const char* mode);

struct ReadResult {
    std::optional<Bytes> bytes;
    // Why the read failed, in words, when it did.
    std::string error;
};

inline constexpr std::uint64_t kMebibyte = std::uint64_t{1} << 20;
// The most any whole-file read takes in unless told otherwise.
inline constexpr std::uint64_t kDefaultReadLimit = 256 * kMebibyte;

// Reads a regular file whole. Anything else in its place (a folder, a pipe, a device, a
// socket) is refused without waiting on it, as is a file of more than `limit` bytes, which
// is refused before any of it is read; the error then gives its size.
ReadResult readWholeFile(const std::filesystem::path& path,
                         std::uint64_t limit = kDefaultReadLimit);

// Reads whole files one after another into one buffer that only grows and is never cleared,
// so that a file costs its open and its read, not a fresh allocation and a zero fill.
class FileReader {
  public:
    // The bytes of the file at `path`, valid until the next read, under the rules of
    // readWholeFile; nothing, with the reason in `error`, when it cannot be read.
    std::optional<ByteView> read(const std::filesystem::path& path, std::uint64_t limit,
                                 std::string& error);

  private:
    std::unique_ptr<std::uint8_t[]> data_;
    std::size_t capacity_ = 0;
};

// A regular file opened for reading without waiting on it; nothing (with the reason in
// `error`) for anything else or a file that cannot be opened.
FilePtr openRegularFile(const std::filesystem::path& path, std::string& error);

// True when `path` is a regular file that can be opened for reading (it is closed again at
// once).
bool FileExists(const std::filesystem::path& path);

// A size in words for messages: "300 MiB (314572800 bytes)".
std::string sizeText(std::uint64_t bytes);

// `base` / `name`, taking the name as it stands when it exists and else the entry of
// `base` whose name matches it ignoring letter case: an install copied from Windows keeps
// whatever case its installer wrote.
std::filesystem::path childIgnoringCase(const std::filesystem::path& base, const std::string& name);

}  // namespace vondrel
