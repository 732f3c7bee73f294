#include "ui/HelpOpenerQt.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <utility>

#include "ui/HelpViewer.h"

namespace vondrel {

namespace {

QString fromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

ChmHelpOpener::ChmHelpOpener(MessageBoxes& messages) : ChmHelpOpener(messages, defaultFolders()) {}

ChmHelpOpener::ChmHelpOpener(MessageBoxes& messages, QStringList folders)
    : messages_(messages), folders_(std::move(folders)) {}

HelpViewer* ChmHelpOpener::viewer() const {
    return viewer_.data();
}

ChmHelpOpener::~ChmHelpOpener() {
    if (viewer_ && !viewer_->parent())
        delete viewer_.data();
}

QStringList ChmHelpOpener::defaultFolders() {
    const QString programDir = QCoreApplication::applicationDirPath();
    return {QDir::cleanPath(programDir),
            QDir::cleanPath(programDir + QStringLiteral("/../share/vondrel"))};
}

QString ChmHelpOpener::find(const QString& fileName) const {
    for (const QString& folder : folders_) {
        const QFileInfo candidate(QDir(folder), fileName);
        if (candidate.isFile())
            return candidate.absoluteFilePath();
    }
    return QString();
}

void ChmHelpOpener::open(std::string_view helpFile, std::string_view topic) {
    const QString fileName = fromUtf8(helpFile);
    const QString path = find(fileName);
    if (path.isEmpty()) {
        QString text =
            QStringLiteral("The help file %1 was not found. Vondrel looked in:").arg(fileName);
        for (const QString& folder : folders_)
            text += QLatin1Char('\n') + QDir::toNativeSeparators(folder);
        messages_.show(text.toStdString(), MessageIcon::Information, MessageButtons::Ok);
        return;
    }

    if (!viewer_)
        viewer_ = new HelpViewer(parent_);
    if (viewer_->file().fileName() != path || !viewer_->file().isOpen()) {
        if (!viewer_->openFile(path)) {
            viewer_->hide();
            messages_.show(QStringLiteral("The help file %1 cannot be read. It is damaged or is "
                                          "no compiled help file.")
                               .arg(QDir::toNativeSeparators(path))
                               .toStdString(),
                           MessageIcon::Critical, MessageButtons::Ok);
            return;
        }
    }

    const QString page = fromUtf8(topic);
    viewer_->showTopic(page == QLatin1String("0") ? QString() : page);
    viewer_->show();
    viewer_->raise();
    viewer_->activateWindow();
}

}  // namespace vondrel
