#pragma once

#ifndef _WIN32

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdint>
#include <filesystem>
#include <fstream>

namespace vondrel::testing {

// What may stand where the program expects one of its files, or nothing at all.
enum class Odd { Fifo, DeviceLink, Folder, TooLarge, Missing };

// Puts `odd` at `path` (replacing what is there); TooLarge is a sparse file of `size` bytes.
inline void putOdd(const std::filesystem::path& path, Odd odd, std::uint64_t size = 0) {
    std::filesystem::remove_all(path);
    if (odd == Odd::Fifo) {
        ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    } else if (odd == Odd::DeviceLink) {
        std::filesystem::create_symlink("/dev/zero", path);
    } else if (odd == Odd::Folder) {
        std::filesystem::create_directory(path);
    } else if (odd == Odd::TooLarge) {
        std::ofstream(path).put('x');
        std::filesystem::resize_file(path, size);
    }
}

}  // namespace vondrel::testing

#endif
