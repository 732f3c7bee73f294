#pragma once

#include <cstdint>

#include "base/FileDevice.h"

namespace vondrel::testing {

// Real files that fail on demand: refusing to open, failing part-way through the writes
// (after a number of bytes, so some of them land), or failing to reach the disk.
class FailingFiles : public FileOpener {
  public:
    bool failOpen = false;
    std::size_t failAfterBytes = SIZE_MAX;  // bytes the writes may still put in place
    bool failFlush = false;

    std::unique_ptr<FileDevice> openForUpdate(const std::filesystem::path& path,
                                              std::string& error) override {
        std::unique_ptr<FileDevice> real = systemFiles().openForUpdate(path, error);
        if (failOpen)
            error = "refused for the test";
        return real && !failOpen ? std::make_unique<Device>(std::move(real), *this) : nullptr;
    }

  private:
    struct Device : FileDevice {
        Device(std::unique_ptr<FileDevice> real, FailingFiles& owner)
            : real(std::move(real)), owner(owner) {}
        std::uint64_t size() const override { return real->size(); }
        bool readAt(std::uint64_t at, std::span<std::uint8_t> out, std::string& error) override {
            return real->readAt(at, out, error);
        }
        bool writeAt(std::uint64_t at, ByteView data, std::string& error) override {
            const std::size_t allowed = std::min(data.size(), owner.failAfterBytes);
            owner.failAfterBytes -= allowed;
            if (allowed > 0 && !real->writeAt(at, data.first(allowed), error))
                return false;
            if (allowed == data.size())
                return true;
            error = "the device failed";
            return false;
        }
        bool flush(std::string& error) override {
            if (owner.failFlush)
                error = "the disk failed";
            return !owner.failFlush && real->flush(error);
        }
        std::unique_ptr<FileDevice> real;
        FailingFiles& owner;
    };
};

}  // namespace vondrel::testing
