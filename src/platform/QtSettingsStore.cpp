#include "platform/QtSettingsStore.h"

#include <QFileInfo>
#include <QSettings>
#include <QString>
#include <QVariant>
#include <filesystem>
#include <system_error>

namespace vondrel {
namespace {

// A settings file larger than this is not a settings file of ours.
constexpr std::uintmax_t kLargestSettingsFile = std::uintmax_t{1} << 20;

QString fromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The file that holds the settings of `application`, found without reading it (QSettings
// reads its file as soon as it is made); empty where the settings are not kept in files.
QString settingsFileOf(const QString& application) {
#ifdef Q_OS_WIN
    Q_UNUSED(application);
    return {};
#else
    const QString probeName = application + QStringLiteral(".vondrel-probe");
    const QString probe =
        QSettings(QSettings::NativeFormat, QSettings::UserScope, probeName).fileName();
    const qsizetype at = probe.lastIndexOf(probeName);
    if (at < 0 || !QFileInfo(probe).isAbsolute())
        return {};
    return probe.left(at) + application + probe.mid(at + probeName.size());
#endif
}

// Why the settings file cannot be used; empty when it can (or does not exist yet). Nothing
// here opens it, so a pipe in its place cannot make the program wait.
std::string problemWith(const QString& file) {
    if (file.isEmpty())
        return {};
    const std::filesystem::path path(file.toStdU16String());
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (!std::filesystem::exists(status))
        return {};
    if (!std::filesystem::is_regular_file(status))
        return "not a regular file";
    if (std::filesystem::file_size(path, ec) > kLargestSettingsFile)
        return "too large for a settings file";
    return {};
}

std::string describe(const QString& file, const std::string& reason) {
    return file.toStdString() + " (" + reason + ")";
}

}  // namespace

std::string QtSettingsStore::read(std::string_view application, std::string_view section,
                                  std::string_view key, std::string_view defaultValue) {
    const QString file = settingsFileOf(fromUtf8(application));
    if (std::string problem = problemWith(file); !problem.empty()) {
        problem_ = describe(file, problem);
        return std::string(defaultValue);
    }
    problem_.clear();
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, fromUtf8(application));
    settings.beginGroup(fromUtf8(section));
    return settings.value(fromUtf8(key), fromUtf8(defaultValue)).toString().toStdString();
}

std::string QtSettingsStore::write(std::string_view application, std::string_view section,
                                   std::string_view key, std::string_view value) {
    const QString file = settingsFileOf(fromUtf8(application));
    if (std::string problem = problemWith(file); !problem.empty())
        return describe(file, problem);
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, fromUtf8(application));
    settings.beginGroup(fromUtf8(section));
    settings.setValue(fromUtf8(key), fromUtf8(value));
    settings.endGroup();
    settings.sync();
    switch (settings.status()) {
        case QSettings::NoError:
            return {};
        case QSettings::AccessError:
            return describe(settings.fileName(), "it cannot be written");
        case QSettings::FormatError:
            return describe(settings.fileName(), "it is not in the settings' format");
    }
    return describe(settings.fileName(), "it cannot be written");
}

}  // namespace vondrel
