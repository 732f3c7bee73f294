#pragma once

#include <filesystem>
#include <random>
#include <string>

namespace vondrel::testing {

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempDir {
  public:
    TempDir() { std::filesystem::create_directories(path_); }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }

  private:
    std::random_device random_;
    const std::filesystem::path path_ =
        std::filesystem::temp_directory_path() /
        ("vondrel-test-" + std::to_string(random_()) + std::to_string(random_()));
};

}  // namespace vondrel::testing
