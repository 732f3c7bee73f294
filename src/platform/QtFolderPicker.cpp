#include "platform/QtFolderPicker.h"

#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
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

std::optional<std::string> QtFolderPicker::pickFolder(std::string_view title,
                                                      std::string_view startFolder,
                                                      std::string_view hint) {
    const auto text = [](std::string_view utf8) {
        return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
    };
    QFileDialog dialog(parent_, text(title), text(startFolder));
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    // The desktop's own dialog has no room for the hint; Qt's has.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    if (!hint.empty()) {
        auto* line = new QLabel(text(hint), &dialog);
        line->setObjectName(QStringLiteral("folderHint"));
        line->setWordWrap(true);
        if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout()))
            grid->addWidget(line, grid->rowCount(), 0, 1, grid->columnCount());
    }
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return pickedFolder(dialog.selectedFiles().value(0));
}

}  // namespace vondrel
