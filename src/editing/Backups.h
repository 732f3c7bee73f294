#pragma once

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "base/Bytes.h"

namespace vondrel {

// Copies of a game's neighbourhood file, one folder per game folder under a root (the
// user's data folder), each named with the date and time it was made. The newest
// kKeptCopies are kept.
class Backups {
  public:
    static constexpr std::size_t kKeptCopies = 20;

    Backups(const std::filesystem::path& root, const std::filesystem::path& gameFolder);

    // This game's folder of copies.
    const std::filesystem::path& folder() const { return folder_; }

    // Writes a new copy holding `bytes`, then removes the oldest beyond kKeptCopies. What went
    // wrong, naming the file, when the copy could not be written; empty when it was.
    std::string keep(ByteView bytes,
                     std::chrono::system_clock::time_point when = std::chrono::system_clock::now());

    // The copies, newest first.
    std::vector<std::filesystem::path> list() const;

  private:
    std::filesystem::path folder_;
};

// The name of the folder that holds a game's copies: the game folder's own name, made safe
// for any file system, and a short hash of its whole path, so two games never share one.
std::string backupFolderName(const std::filesystem::path& gameFolder);

}  // namespace vondrel
