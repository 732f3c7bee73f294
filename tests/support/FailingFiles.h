#pragma once

#include <optional>

#include "base/FileDevice.h"

namespace vondrel::testing {

// Real files that fail on demand: refusing to open, failing part-way through the writes
// (after a number of bytes, so some of them land), or failing to reach the disk.
class FailingFiles : public FileOpener {
  public:
    bool failOpen = false;
    std::optional<std::size_t> failAfterBytes;
    bool failFlush = false;
    std::size_t written = 0;

    std::unique_ptr<FileDevice> openForUpdate(const std::filesystem::path& path,
                                              std::string& error) override {
        if (failOpen) {
            error = "refused for the test";
            return nullptr;
        }
        std::unique_ptr<FileDevice> real = systemFiles().openForUpdate(path, error);
        return real ? std::make_unique<Device>(std::move(real), *this) : nullptr;
    }

  private:
    class Device : public FileDevice {
      public:
        Device(std::unique_ptr<FileDevice> real, FailingFiles& owner)
            : real_(std::move(real)), owner_(owner) {}
        std::uint64_t size() const override { return real_->size(); }
        bool readAt(std::uint64_t at, std::span<std::uint8_t> out, std::string& error) override {
            return real_->readAt(at, out, error);
        }
        bool writeAt(std::uint64_t at, ByteView data, std::string& error) override {
            std::size_t allowed = data.size();
            if (owner_.failAfterBytes)
                allowed = std::min(allowed, *owner_.failAfterBytes -
                                                std::min(*owner_.failAfterBytes, owner_.written));
            if (allowed > 0 && !real_->writeAt(at, data.first(allowed), error))
                return false;
            owner_.written += allowed;
            if (allowed < data.size()) {
                error = "the device failed";
                return false;
            }
            return true;
        }
        bool flush(std::string& error) override {
            if (owner_.failFlush) {
                error = "the disk failed";
                return false;
            }
            return real_->flush(error);
        }

      private:
        std::unique_ptr<FileDevice> real_;
        FailingFiles& owner_;
    };
};

}  // namespace vondrel::testing
