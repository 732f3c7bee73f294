#include "platform/QtSettingsStore.h"

#include <QSettings>
#include <QString>
#include <QVariant>

namespace vondrel {
namespace {

QString fromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

std::string QtSettingsStore::read(std::string_view application, std::string_view section,
                                  std::string_view key, std::string_view defaultValue) {
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, fromUtf8(application));
    settings.beginGroup(fromUtf8(section));
    return settings.value(fromUtf8(key), fromUtf8(defaultValue)).toString().toStdString();
}

void QtSettingsStore::write(std::string_view application, std::string_view section,
                            std::string_view key, std::string_view value) {
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, fromUtf8(application));
    settings.beginGroup(fromUtf8(section));
    settings.setValue(fromUtf8(key), fromUtf8(value));
    settings.endGroup();
    settings.sync();
}

}  // namespace vondrel
