#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <string>

#include "base/Bytes.h"

namespace vondrel {

// One open file, read and written at given positions through a single handle, so that a
// check of its contents and the writes that follow see the same file.
class FileDevice {
  public:
    virtual ~FileDevice() = default;
    // The size when it was opened.
    virtual std::uint64_t size() const = 0;
    // Fills `out` from `offset`; false (with the reason in `error`) when that fails or the
    // file ends first.
    virtual bool readAt(std::uint64_t offset, std::span<std::uint8_t> out, std::string& error) = 0;
    virtual bool writeAt(std::uint64_t offset, ByteView data, std::string& error) = 0;
    // Makes everything written reach the disk.
    virtual bool flush(std::string& error) = 0;
};

// Opens files for a check and an update in place. Tests put a failing one in its place.
class FileOpener {
  public:
    virtual ~FileOpener() = default;
    // Nothing (with the reason in `error`) when the file cannot be opened for reading and
    // writing, or is not a regular file.
    virtual std::unique_ptr<FileDevice> openForUpdate(const std::filesystem::path& path,
                                                      std::string& error) = 0;
};

// The operating system's files.
FileOpener& systemFiles();

// Creates `path` (which must not exist yet) holding `bytes`, flushed to the disk. The reason
// when it fails; the file is then removed again.
std::string writeNewFile(const std::filesystem::path& path, ByteView bytes);

// Replaces `path` with a file holding `bytes`: written beside it under another name, flushed,
// then renamed over it. The reason when it fails; the old file is then left as it was.
std::string replaceFile(const std::filesystem::path& path, ByteView bytes);

}  // namespace vondrel
