#pragma once

#ifndef _WIN32

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

namespace vondrel::testing {

// What may stand where the program expects one of its files.
enum class Odd { Fifo, DeviceLink, Folder, TooLarge };

inline const char* nameOf(Odd odd) {
    switch (odd) {
        case Odd::Fifo:
            return "a pipe";
        case Odd::DeviceLink:
            return "a link to /dev/zero";
        case Odd::Folder:
            return "a folder";
        case Odd::TooLarge:
            return "a file over the limit";
    }
    return "?";
}

// Puts `odd` at `path` (replacing what is there); TooLarge is a sparse file of `size` bytes.
inline void putOdd(const std::filesystem::path& path, Odd odd, std::uint64_t size = 0) {
    std::filesystem::remove_all(path);
    switch (odd) {
        case Odd::Fifo:
            ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
            break;
        case Odd::DeviceLink:
            std::filesystem::create_symlink("/dev/zero", path);
            break;
        case Odd::Folder:
            std::filesystem::create_directory(path);
            break;
        case Odd::TooLarge:
            std::ofstream(path).put('x');
            std::filesystem::resize_file(path, size);
            break;
    }
}

}  // namespace vondrel::testing

#endif
