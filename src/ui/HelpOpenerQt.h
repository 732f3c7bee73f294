#pragma once

#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <memory>
#include <string_view>

#include "platform/HelpOpener.h"
#include "platform/MessageBoxes.h"

namespace vondrel {

class HelpViewer;

// Shows the program's help file in the window "Vondrel Help". The file is looked for
// beside the program and then in the installed data folder (<prefix>/share/vondrel).
// A missing or unreadable file is reported in a message box naming the file and the
// places searched; the program goes on.
class ChmHelpOpener : public HelpOpener {
  public:
    explicit ChmHelpOpener(MessageBoxes& messages);
    // Looks in `folders`, in this order, instead of the usual places.
    ChmHelpOpener(MessageBoxes& messages, QStringList folders);
    ~ChmHelpOpener() override;

    // The help window opens over `parent` (the main window), which then owns it.
    void setParent(QWidget* parent) { parent_ = parent; }

    // `topic` "0" (or empty) is the start page; any other text names a page of the file,
    // e.g. "jobs.html", and unknown pages fall back to the start page.
    void open(std::string_view helpFile, std::string_view topic) override;

    // Beside the program, then ../share/vondrel from there.
    static QStringList defaultFolders();
    const QStringList& folders() const { return folders_; }
    // The window, once a help file was shown; nullptr before.
    HelpViewer* viewer() const;

  private:
    QString find(const QString& fileName) const;

    MessageBoxes& messages_;
    QStringList folders_;
    QWidget* parent_ = nullptr;
    // Owned by the parent when there is one, else here.
    QPointer<HelpViewer> viewer_;
};

}  // namespace vondrel
