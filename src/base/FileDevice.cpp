#include "base/FileDevice.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <system_error>

#ifdef _WIN32
#include "base/Windows.h"
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace vondrel {
namespace {

#ifdef _WIN32

std::string lastError() {
    return std::system_category().message(static_cast<int>(::GetLastError()));
}

class WindowsFile : public FileDevice {
  public:
    WindowsFile(HANDLE handle, std::uint64_t size) : handle_(handle), size_(size) {}
    ~WindowsFile() override { ::CloseHandle(handle_); }

    std::uint64_t size() const override { return size_; }

    bool readAt(std::uint64_t offset, std::span<std::uint8_t> out, std::string& error) override {
        std::size_t done = 0;
        while (done < out.size()) {
            OVERLAPPED at{};
            const std::uint64_t position = offset + done;
            at.Offset = static_cast<DWORD>(position);
            at.OffsetHigh = static_cast<DWORD>(position >> 32);
            const DWORD want =
                static_cast<DWORD>(std::min<std::size_t>(out.size() - done, 1u << 30));
            DWORD got = 0;
            if (!::ReadFile(handle_, out.data() + done, want, &got, &at)) {
                error = lastError();
                return false;
            }
            if (got == 0) {
                error = "the file ended early";
                return false;
            }
            done += got;
        }
        return true;
    }

    bool writeAt(std::uint64_t offset, ByteView data, std::string& error) override {
        std::size_t done = 0;
        while (done < data.size()) {
            OVERLAPPED at{};
            const std::uint64_t position = offset + done;
            at.Offset = static_cast<DWORD>(position);
            at.OffsetHigh = static_cast<DWORD>(position >> 32);
            const DWORD want =
                static_cast<DWORD>(std::min<std::size_t>(data.size() - done, 1u << 30));
            DWORD put = 0;
            if (!::WriteFile(handle_, data.data() + done, want, &put, &at) || put == 0) {
                error = lastError();
                return false;
            }
            done += put;
        }
        return true;
    }

    bool flush(std::string& error) override {
        if (::FlushFileBuffers(handle_))
            return true;
        error = lastError();
        return false;
    }

  private:
    HANDLE handle_;
    std::uint64_t size_;
};

class SystemFiles : public FileOpener {
  public:
    std::unique_ptr<FileDevice> openForUpdate(const std::filesystem::path& path,
                                              std::string& error) override {
        HANDLE handle = ::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            error = lastError();
            return nullptr;
        }
        LARGE_INTEGER size{};
        if (::GetFileType(handle) != FILE_TYPE_DISK || !::GetFileSizeEx(handle, &size)) {
            ::CloseHandle(handle);
            error = "not a regular file";
            return nullptr;
        }
        return std::make_unique<WindowsFile>(handle, static_cast<std::uint64_t>(size.QuadPart));
    }
};

#else

std::string lastError() {
    return std::strerror(errno);
}

class PosixFile : public FileDevice {
  public:
    PosixFile(int fd, std::uint64_t size) : fd_(fd), size_(size) {}
    ~PosixFile() override { ::close(fd_); }

    std::uint64_t size() const override { return size_; }

    bool readAt(std::uint64_t offset, std::span<std::uint8_t> out, std::string& error) override {
        std::size_t done = 0;
        while (done < out.size()) {
            const ssize_t got = ::pread(fd_, out.data() + done, out.size() - done,
                                        static_cast<off_t>(offset + done));
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0) {
                error = lastError();
                return false;
            }
            if (got == 0) {
                error = "the file ended early";
                return false;
            }
            done += static_cast<std::size_t>(got);
        }
        return true;
    }

    bool writeAt(std::uint64_t offset, ByteView data, std::string& error) override {
        std::size_t done = 0;
        while (done < data.size()) {
            const ssize_t put = ::pwrite(fd_, data.data() + done, data.size() - done,
                                         static_cast<off_t>(offset + done));
            if (put < 0 && errno == EINTR)
                continue;
            if (put <= 0) {
                error = put < 0 ? lastError() : "nothing could be written";
                return false;
            }
            done += static_cast<std::size_t>(put);
        }
        return true;
    }

    bool flush(std::string& error) override {
        if (::fsync(fd_) == 0)
            return true;
        error = lastError();
        return false;
    }

  private:
    int fd_;
    std::uint64_t size_;
};

class SystemFiles : public FileOpener {
  public:
    std::unique_ptr<FileDevice> openForUpdate(const std::filesystem::path& path,
                                              std::string& error) override {
        // Non-blocking, so that a pipe or device in the file's place cannot stall the open.
        const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC | O_NONBLOCK);
        if (fd < 0) {
            error = lastError();
            return nullptr;
        }
        struct stat info {};
        if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
            ::close(fd);
            error = "not a regular file";
            return nullptr;
        }
        return std::make_unique<PosixFile>(fd, static_cast<std::uint64_t>(info.st_size));
    }
};

#endif

std::string writeAndFlush(const std::filesystem::path& path, ByteView bytes) {
#ifdef _WIN32
    HANDLE handle = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return lastError();
    WindowsFile file(handle, 0);
#else
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0)
        return lastError();
    PosixFile file(fd, 0);
#endif
    std::string error;
    if (!file.writeAt(0, bytes, error) || !file.flush(error)) {
        std::error_code ignored;
        std::filesystem::remove(path, ignored);
        return error;
    }
    return {};
}

}  // namespace

FileOpener& systemFiles() {
    static SystemFiles files;
    return files;
}

std::string writeNewFile(const std::filesystem::path& path, ByteView bytes) {
    return writeAndFlush(path, bytes);
}

std::string replaceFile(const std::filesystem::path& path, ByteView bytes) {
    std::filesystem::path temporary = path;
    temporary += ".vondrel-new";
    std::error_code ec;
    std::filesystem::remove(temporary, ec);
    if (std::string error = writeAndFlush(temporary, bytes); !error.empty())
        return error;
    std::filesystem::rename(temporary, path, ec);
    if (ec) {
        std::filesystem::remove(temporary, ec);
        return ec.message();
    }
    return {};
}

}  // namespace vondrel
