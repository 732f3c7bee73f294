#include "platform/WindowsRegistry.h"

#include <cstring>
#include <utility>

#include "base/Windows.h"

#include "base/FileIO.h"

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

bool startsWithIgnoringAsciiCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        if (lower(text[i]) != lower(prefix[i]))
            return false;
    }
    return true;
}

// The key path to open and the registry view to open it in.
std::pair<std::wstring, REGSAM> keyAndView(std::string_view subkey) {
    constexpr std::string_view kSoftware = "Software\\";
    constexpr std::string_view kWow64 = "Wow6432Node\\";
    if (startsWithIgnoringAsciiCase(subkey, kSoftware) &&
        startsWithIgnoringAsciiCase(subkey.substr(kSoftware.size()), kWow64)) {
        const std::string rest = std::string(subkey.substr(0, kSoftware.size())) +
                                 std::string(subkey.substr(kSoftware.size() + kWow64.size()));
        return {wideFromUtf8(rest), KEY_WOW64_32KEY};
    }
    return {wideFromUtf8(subkey), KEY_WOW64_64KEY};
}

}  // namespace

std::optional<RegistryValue> WindowsRegistry::read(std::string_view subkey, std::string_view name) {
    const auto [keyPath, view] = keyAndView(subkey);
    const std::wstring valueName = wideFromUtf8(name);
    HKEY handle = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_QUERY_VALUE | view, &handle) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    const OpenKey key(handle);

    // Type and size first, then the data; the value may grow in between, so a few rounds.
    DWORD type = REG_NONE;
    DWORD size = 0;
    if (RegQueryValueExW(key.get(), valueName.c_str(), nullptr, &type, nullptr, &size) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    std::string data;
    for (int attempt = 0;; ++attempt) {
        data.assign(size, '\0');
        DWORD got = size;
        const LONG status =
            RegQueryValueExW(key.get(), valueName.c_str(), nullptr, &type,
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
            // UTF-16 code units, up to the first NUL (the data need not end in one, nor be
            // of even length).
            std::wstring text(data.size() / sizeof(wchar_t), L'\0');
            std::memcpy(text.data(), data.data(), text.size() * sizeof(wchar_t));
            const std::size_t nul = text.find(L'\0');
            if (nul != std::wstring::npos)
                text.resize(nul);
            return RegistryValue{RegistryType::String, utf8FromWide(text)};
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
