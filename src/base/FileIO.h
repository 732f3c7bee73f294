#pragma once

#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "base/Bytes.h"

namespace vondrel {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// fopen for paths in the platform's own form.
FilePtr openFile(const std::filesystem::path& path, const char* mode);

struct ReadResult {
    std::optional<Bytes> bytes;
    // Why the read failed, in words, when it did.
    std::string error;
};

// A path as UTF-8 text, for messages and names.
std::string utf8Of(const std::filesystem::path& path);

ReadResult readWholeFile(const std::filesystem::path& path);

// True when `path` is a file that can be opened for reading (it is closed again at once).
bool FileExists(const std::filesystem::path& path);

// `base` / `name`, taking the name as it stands when it exists and else the entry of
// `base` whose name matches it ignoring letter case: an install copied from Windows keeps
// whatever case its installer wrote.
std::filesystem::path childIgnoringCase(const std::filesystem::path& base, const std::string& name);

}  // namespace vondrel
