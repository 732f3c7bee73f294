#include "platform/WindowsRegistry.h"

#include <utility>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace vondrel {
namespace {

// Closes the key when leaving the scope.
class OpenKey {
  public:
    explicit OpenKey(HKEY key) : key_(key) {}
    ~OpenKey() { RegCloseKey(key_); }
    OpenKey(const OpenKey&) = delete;
    OpenKey& operator=(const OpenKey&) = delete;
    HKEY get() const { return key_; }

  private:
    HKEY key_;
};

}  // namespace

std::optional<RegistryValue> WindowsRegistry::read(std::string_view subkey, std::string_view name) {
    const std::string subkeyText(subkey);
    const std::string nameText(name);
    HKEY handle = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, subkeyText.c_str(), 0, KEY_QUERY_VALUE, &handle) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    const OpenKey key(handle);

    // Type and size first, then the data; the value may grow in between, so a few rounds.
    DWORD type = REG_NONE;
    DWORD size = 0;
    if (RegQueryValueExA(key.get(), nameText.c_str(), nullptr, &type, nullptr, &size) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    std::string data;
    for (int attempt = 0;; ++attempt) {
        data.assign(size, '\0');
        DWORD got = size;
        const LONG status =
            RegQueryValueExA(key.get(), nameText.c_str(), nullptr, &type,
                             size == 0 ? nullptr : reinterpret_cast<LPBYTE>(data.data()), &got);
        if (status == ERROR_SUCCESS) {
            data.resize(got < size ? got : size);
            break;
        }
        if (status != ERROR_MORE_DATA || attempt == 3)
            return std::nullopt;
        size = got;
    }

    switch (type) {
        case REG_SZ: {
            const std::size_t nul = data.find('\0');
            if (nul != std::string::npos)
                data.resize(nul);
            return RegistryValue{RegistryType::String, std::move(data)};
        }
        case REG_BINARY:
            return RegistryValue{RegistryType::Binary, std::move(data)};
        default:
            return RegistryValue{RegistryType::Other, {}};
    }
}

std::string WindowsRegistry::toLocalPath(std::string_view registryPath) const {
    return std::string(registryPath);
}

}  // namespace vondrel
