#include "platform/QtFolderPicker.h"

#include <QDir>
#include <QFileDialog>
#include <QString>

namespace vondrel {

std::optional<std::string> pickedFolder(const QString& dialogResult) {
    if (dialogResult.isEmpty())
        return std::nullopt;
    QString folder = QDir::fromNativeSeparators(dialogResult);
    while (folder.size() > 1 && folder.endsWith(u'/') && !QDir(folder).isRoot())
        folder.chop(1);
    return QDir::toNativeSeparators(folder).toStdString();
}

std::optional<std::string> QtFolderPicker::pickFolder(std::string_view title) {
    const QString caption = QString::fromUtf8(title.data(), static_cast<qsizetype>(title.size()));
    return pickedFolder(
        QFileDialog::getExistingDirectory(parent_, caption, QString(), QFileDialog::ShowDirsOnly));
}

}  // namespace vondrel
