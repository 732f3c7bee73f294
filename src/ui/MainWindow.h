#pragma once

#include <QAction>
#include <QMenu>
#include <QWidget>
#include <filesystem>
#include <memory>

#include "editing/Backups.h"
#include "editing/Household.h"
#include "platform/HelpOpener.h"
#include "platform/ListChooser.h"
#include "platform/MessageBoxes.h"
#include "platform/RunningGame.h"
#include "resources/StringTable.h"
#include "ui/ButtonRow.h"
#include "ui/DesignSurface.h"
#include "ui/EditorContext.h"
#include "ui/FamilyPanel.h"
#include "ui/JobPanel.h"
#include "ui/MaximizeButtons.h"
#include "ui/PersonView.h"
#include "ui/RelationshipPanel.h"

namespace vondrel {

inline constexpr const char* kWindowTitle = "Vondrel V0.40A - [Only for BETA testers!!]";

// What the window needs of the desktop besides message boxes.
struct WindowServices {
    RunningGame* game = nullptr;
    HelpOpener* help = nullptr;
    ListChooser* chooser = nullptr;
    // Where copies of the neighbourhood file are kept, one folder per game; empty: none.
    std::filesystem::path backupRoot;
};

// The main window: a fixed, skinned frame that places the panels, each of which shows and
// edits one part of the person shown through the household. The frame keeps the person
// shown, undo and redo, Save, Exit, and the context menu.
class MainWindow : public QWidget {
    Q_OBJECT
  public:
    MainWindow(MessageBoxes& messages, WindowServices services,
               const StringTable& strings = StringTable::builtIn());
    ~MainWindow() override;

    // Puts the string-table captions and hints on the controls.
    void setCaptions();
    // The portraits the loader reports go here, before setHousehold.
    ImageList& faces() { return context_.faces; }
    // Shows a freshly loaded household of the game in `gameFolder`; the first person of the
    // picker is shown.
    void setHousehold(std::unique_ptr<Household> household,
                      const std::filesystem::path& gameFolder);
    Household* household() const { return household_.get(); }
    const std::filesystem::path& gameFolder() const { return gameFolder_; }
    // The person shown; EditorContext::kNobody before one is.
    int currentId() const { return context_.current; }

    // Shows person `id`, as choosing it in the picker does.
    void choosePerson(int id);
    // Shows the current person's values again.
    void refresh();
    void undo();
    void redo();
    // Asks, then saves; true when saved.
    bool save();
    // Asks whether to leave; true when the answer is Yes.
    bool askExit();
    // The Exit button and Ctrl+Q: asks, and on Yes reports exitConfirmed.
    void exitClicked();
    // The background menu as Shift+F10 and the menu key open it, below the focused control.
    void showMenuFromKeyboard();
    void helpClicked();
    void aboutClicked();
    // Offers the kept copies of the file, and puts the chosen one back after asking.
    void restoreBackup();

    // The element called `name` in the design (a label, picture, gauge, picker, ...).
    QWidget* element(const QString& name) const { return surface_.element(name); }
    PersonView& personView() { return *personView_; }
    RelationshipPanel& relationships() { return *relationships_; }
    FamilyPanel& family() { return *family_; }
    // The menu of the window's background.
    QMenu* contextMenu() const { return contextMenu_; }

  signals:
    // The user confirmed leaving the program.
    void exitConfirmed();
    // The neighbourhood file was replaced: the game must be loaded again.
    void reloadRequested();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

  private:
    void showCurrent(bool newPerson);
    void showAfterStep(std::optional<int> subject);
    void showMenu(const QPoint& globalPos);

    MessageBoxes& messages_;
    WindowServices services_;
    const StringTable& strings_;
    EditorContext context_;
    DesignSurface surface_;
    std::unique_ptr<Household> household_;
    std::filesystem::path gameFolder_;
    std::unique_ptr<Backups> backups_;
    PersonView* personView_;
    JobPanel* job_;
    RelationshipPanel* relationships_;
    FamilyPanel* family_;
    MaximizeButtons* maximize_;
    ButtonRow* buttons_;
    QMenu* contextMenu_;
    QAction* undoAction_;
    QAction* redoAction_;
    QAction* restoreAction_;
    bool leaving_ = false;
};

}  // namespace vondrel
