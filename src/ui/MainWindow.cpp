#include "ui/MainWindow.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QShortcut>

#include "base/FileDevice.h"
#include "base/FileIO.h"
#include "editing/SaveCommand.h"
#include "ui/Design.h"
#include "ui/SurfaceWidgets.h"

namespace vondrel {
namespace {

const QColor kNavy(7, 0, 128);

// The skin of the window's own lists, entries and menu, marked with the property "skin":
// the dialogs opened over the window keep the desktop's look. The control with the keyboard
// focus has a pale yellow frame, as the lit captions of the buttons.
const char* const kSkinStyle =
    "QComboBox[skin=\"true\"], QLineEdit[skin=\"true\"] { background: #0b0a5c; color: white;"
    " border: 1px solid #4f7bd8; border-radius: 2px; }"
    "QComboBox[skin=\"true\"] { padding: 0px 0px 0px 3px; }"
    "QComboBox[skin=\"true\"]:disabled, QLineEdit[skin=\"true\"]:disabled { color: #8088b8; }"
    "QComboBox[skin=\"true\"]:focus, QLineEdit[skin=\"true\"]:focus {"
    " border: 2px solid #f4f5aa; }"
    "QComboBox[skin=\"true\"]::drop-down { width: 11px; border-left: 1px solid #4f7bd8; }"
    "QComboBox[skin=\"true\"]::down-arrow { image: url(:/resources/pictures/drop_arrow.png); }"
    "QComboBox[skin=\"true\"] QAbstractItemView { background: #0b0a5c; color: white;"
    " selection-background-color: #2f5bd0; }"
    "QMenu#mnuWindow { background: #0b0a5c; color: white; border: 1px solid #4f7bd8; }"
    "QMenu#mnuWindow::item { padding: 3px 18px 3px 12px; }"
    "QMenu#mnuWindow::item:selected { background: #2f5bd0; }"
    "QMenu#mnuWindow::item:disabled { color: #8088b8; }"
    "QMenu#mnuWindow::separator { height: 1px; background: #4f7bd8; margin: 3px 6px; }";

inline constexpr const char* kHelpFile = "VDL.chm";

// The keyboard order of the controls: the person, the bars column by column, then the
// right half from top to bottom, then the buttons along the bottom.
constexpr const char* kTabOrder[] = {
    "imcFaces",        "imgMaxVEK",   "imgMaxFAM", "prgNeat",     "prgOutgoing",
    "prgActive",       "prgPlayful",  "prgNice",   "prgCleaning", "prgCooking",
    "prgMechanical",   "prgCharisma", "prgBody",   "prgLogic",    "prgCreativity",
    "imcRelationship", "prgYFeel",    "chkYLove",  "prgSFeel",    "chkSLove",
    "imcJobIcon",      "imcJobs",     "prgPerf",   "btnGhost",    "txtMoney",
    "cmbLingering",    "btnSave",     "btnExit",   "btnHelp",     "btnAbout"};

// A list turned by the wheel only while it has the focus: the wheel passing over a list on
// the way elsewhere changes nothing.
class WheelNeedsFocus : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Wheel && !static_cast<QWidget*>(watched)->hasFocus()) {
            event->ignore();
            return true;
        }
        return QObject::eventFilter(watched, event);
    }
};

// Never asks, never finds the game: for a window without the real services.
class NoRunningGame : public RunningGame {
  public:
    bool isRunning() override { return false; }
};

}  // namespace

MainWindow::MainWindow(MessageBoxes& messages, WindowServices services, const StringTable& strings)
    : QWidget(nullptr, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                           Qt::CustomizeWindowHint),
      messages_(messages),
      services_(std::move(services)),
      strings_(strings),
      context_(messages, strings),
      surface_(this) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QString::fromLatin1(kWindowTitle));
    setWindowIcon(QIcon(skinPicture("icon")));
    setFixedSize(design::kClientWidth / design::kTwipsPerPixel,
                 design::kClientHeight / design::kTwipsPerPixel);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, kNavy);
    setPalette(palette);
    setAutoFillBackground(true);
    setMouseTracking(true);
    setStyleSheet(QString::fromLatin1(kSkinStyle));

    // Decoration first, so everything else lies above it.
    surface_.image("imgDiv(0)", "divider_v360");
    surface_.image("imgDiv(1)", "divider_h235");
    surface_.image("imgDiv(2)", "divider_h235");
    surface_.image("imgDiv(3)", "divider_h233");
    surface_.image("imgDiv(4)", "divider_v90");
    surface_.image("imgLogo", "logo");

    buttons_ = new ButtonRow(surface_, context_);
    maximize_ = new MaximizeButtons(surface_, context_);
    personView_ = new PersonView(surface_, context_);
    job_ = new JobPanel(surface_, context_);
    relationships_ = new RelationshipPanel(surface_, context_);
    family_ = new FamilyPanel(surface_, context_);

    // The hit areas of the buttons stay above everything drawn on the surface.
    for (const char* area :
         {"btnSave", "btnExit", "btnHelp", "btnAbout", "btnGhost", "imgMaxVEK", "imgMaxFAM"}) {
        element(QString::fromLatin1(area))->raise();
    }
    // The pointer leaving a button over a panel puts the Save button back to normal.
    for (int i = 0; i < 5; ++i) {
        auto* panel = static_cast<PictureBox*>(element(QStringLiteral("pctUI(%1)").arg(i)));
        connect(panel, &PictureBox::moved, this, [this](int) { buttons_->paintSaveNormal(); });
    }

    connect(personView_, &PersonView::personChosen, this, &MainWindow::choosePerson);
    // After every edit the panels show what the household now holds.
    connect(personView_, &PersonView::edited, this, &MainWindow::refresh);
    connect(job_, &JobPanel::edited, this, &MainWindow::refresh);
    connect(relationships_, &RelationshipPanel::edited, this, &MainWindow::refresh);
    connect(family_, &FamilyPanel::edited, this, &MainWindow::refresh);
    connect(maximize_, &MaximizeButtons::edited, this, &MainWindow::refresh);
    connect(buttons_, &ButtonRow::saveClicked, this, &MainWindow::save);
    connect(buttons_, &ButtonRow::helpClicked, this, &MainWindow::helpClicked);
    connect(buttons_, &ButtonRow::aboutClicked, this, &MainWindow::aboutClicked);
    connect(buttons_, &ButtonRow::exitClicked, this, &MainWindow::exitClicked);

    const auto shortcut = [this](const QKeySequence& keys, auto slot) {
        auto* key = new QShortcut(keys, this);
        connect(key, &QShortcut::activated, this, slot);
    };
    shortcut(QKeySequence::Undo, &MainWindow::undo);
    shortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), &MainWindow::redo);
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_Y), &MainWindow::redo);
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_S), &MainWindow::save);
    shortcut(QKeySequence(Qt::Key_F1), &MainWindow::helpClicked);
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_Q), &MainWindow::exitClicked);
    shortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10), &MainWindow::showMenuFromKeyboard);

    auto* wheelNeedsFocus = new WheelNeedsFocus(this);
    QWidget* previous = nullptr;
    for (const char* name : kTabOrder) {
        QWidget* control = element(QString::fromLatin1(name));
        if (qobject_cast<QComboBox*>(control) || qobject_cast<QLineEdit*>(control))
            control->setProperty("skin", true);
        if (auto* list = qobject_cast<QComboBox*>(control)) {
            list->setFocusPolicy(Qt::StrongFocus);
            list->installEventFilter(wheelNeedsFocus);
        }
        if (previous)
            setTabOrder(previous, control);
        previous = control;
    }
    element(QStringLiteral("txtFundo"))->setProperty("skin", true);
    personView_->picker()->setFocus();

    contextMenu_ = new QMenu(this);
    contextMenu_->setObjectName(QStringLiteral("mnuWindow"));
    undoAction_ = contextMenu_->addAction(QString::fromStdString(strings_.text(text::Undo)), this,
                                          &MainWindow::undo);
    undoAction_->setShortcut(QKeySequence::Undo);
    redoAction_ = contextMenu_->addAction(QString::fromStdString(strings_.text(text::Redo)), this,
                                          &MainWindow::redo);
    redoAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Y));
    contextMenu_->addSeparator();
    restoreAction_ =
        contextMenu_->addAction(QString::fromStdString(strings_.text(text::RestoreBackup)), this,
                                &MainWindow::restoreBackup);
    contextMenu_->addSeparator();
    contextMenu_->addAction(QString::fromStdString(strings_.text(127)), this,
                            &MainWindow::helpClicked);
    contextMenu_->addAction(QString::fromStdString(strings_.text(128)), this,
                            &MainWindow::aboutClicked);
}

MainWindow::~MainWindow() = default;

void MainWindow::setCaptions() {
    personView_->setCaptions();
    maximize_->setCaptions();
    relationships_->setCaptions();
    family_->setCaptions();
    buttons_->setCaptions();
    job_->setCaptions();
}

void MainWindow::setHousehold(std::unique_ptr<Household> household,
                              const std::filesystem::path& gameFolder) {
    household_ = std::move(household);
    gameFolder_ = gameFolder;
    backups_.reset();
    if (!services_.backupRoot.empty())
        backups_ = std::make_unique<Backups>(services_.backupRoot, gameFolder);
    household_->setBackups(backups_.get());
    context_.household = household_.get();
    context_.current = EditorContext::kNobody;
    personView_->fillPicker();
    // The first person is on screen when loading ends.
    if (personView_->picker()->count() > 0) {
        personView_->picker()->select(1);
        choosePerson(personView_->picker()->selectedId());
    } else {
        showCurrent(true);
    }
}

void MainWindow::choosePerson(int id) {
    if (household_)
        household_->endGesture();
    context_.current = id;
    personView_->select(id);
    showCurrent(true);
}

void MainWindow::refresh() {
    showCurrent(false);
}

void MainWindow::showCurrent(bool newPerson) {
    personView_->show();
    job_->show();
    family_->show();
    if (newPerson)
        relationships_->showPerson();
    else
        relationships_->show();
}

void MainWindow::showAfterStep(std::optional<int> subject) {
    // The person the step was made on comes on screen, when the picker holds them.
    if (subject && *subject != context_.current && personView_->select(*subject))
        choosePerson(*subject);
    else
        refresh();
}

void MainWindow::undo() {
    if (household_ && household_->canUndo())
        showAfterStep(household_->undo());
}

void MainWindow::redo() {
    if (household_ && household_->canRedo())
        showAfterStep(household_->redo());
}

bool MainWindow::save() {
    if (!household_)
        return false;
    NoRunningGame notRunning;
    RunningGame& game = services_.game ? *services_.game : notRunning;
    const bool saved = saveAfterAsking(*household_, messages_, game, strings_);
    refresh();
    return saved;
}

bool MainWindow::askExit() {
    std::string text = strings_.text(text::AreYouSure);
    if (!household_ || !household_->isSaved())
        text += "\n" + strings_.text(text::LoseChanges);
    return messages_.show(text, MessageIcon::Question, MessageButtons::YesNo) == MessageAnswer::Yes;
}

void MainWindow::exitClicked() {
    if (askExit()) {
        leaving_ = true;
        emit exitConfirmed();
    }
}

void MainWindow::helpClicked() {
    if (services_.help)
        services_.help->open(kHelpFile, "0");
}

void MainWindow::restoreBackup() {
    if (!household_ || !backups_)
        return;
    const std::vector<std::filesystem::path> copies = backups_->list();
    if (copies.empty()) {
        messages_.show(strings_.text(text::NoBackupsYet) + "\n" + utf8Of(backups_->folder()),
                       MessageIcon::Information, MessageButtons::Ok);
        return;
    }
    if (!services_.chooser)
        return;
    std::vector<std::string> names;
    for (const auto& copy : copies)
        names.push_back(utf8Of(copy.filename()));
    const std::optional<std::size_t> chosen =
        services_.chooser->choose(strings_.text(text::RestoreWhich), names);
    if (!chosen || *chosen >= copies.size())
        return;
    if (messages_.show(strings_.text(text::RestoreQuestion), MessageIcon::Question,
                       MessageButtons::YesNo) != MessageAnswer::Yes) {
        return;
    }
    const std::filesystem::path& target = household_->neighborhoodPath();
    const auto fail = [&](const std::string& reason) {
        messages_.show(strings_.text(text::RestoreFailed) + reason, MessageIcon::Critical,
                       MessageButtons::Ok);
    };
    const ReadResult copy = readWholeFile(copies[*chosen]);
    if (!copy.bytes)
        return fail(utf8Of(copies[*chosen]) + " (" + copy.error + ")");
    // The file as it is now is kept too, so that putting a copy back can be undone.
    const ReadResult now = readWholeFile(target);
    if (now.bytes) {
        if (std::string error = backups_->keep(*now.bytes); !error.empty())
            return fail(error);
    }
    if (std::string error = replaceFile(target, *copy.bytes); !error.empty())
        return fail(utf8Of(target) + " (" + error + ")");
    emit reloadRequested();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (leaving_ || askExit()) {
        leaving_ = true;
        event->accept();
        emit exitConfirmed();
    } else {
        event->ignore();
    }
}

void MainWindow::mouseMoveEvent(QMouseEvent*) {
    maximize_->paintNormal();
    buttons_->paintNormal();
    paintButtonState(family_->ghostButton(), family_->ghostShown() ? Pressed : Normal);
}

void MainWindow::contextMenuEvent(QContextMenuEvent* event) {
    // The menu key asks the control with the focus, which passes the request on to here.
    if (event->reason() == QContextMenuEvent::Keyboard) {
        showMenuFromKeyboard();
        return;
    }
    // Only the background offers the menu: the window itself, its pictures and captions.
    QWidget* under = childAt(event->pos());
    if (under && !qobject_cast<QLabel*>(under)) {
        event->ignore();
        return;
    }
    showMenu(event->globalPos());
}

void MainWindow::showMenuFromKeyboard() {
    // Below the control with the focus, so that the eye finds it where it already is.
    QWidget* focus = focusWidget();
    const QPoint at = focus && isAncestorOf(focus)
                          ? focus->mapToGlobal(QPoint(focus->width() / 2, focus->height()))
                          : mapToGlobal(rect().center());
    showMenu(at);
    // From the keyboard the first item that can be chosen is lit, ready for Enter.
    for (QAction* action : contextMenu_->actions()) {
        if (!action->isSeparator() && action->isEnabled()) {
            contextMenu_->setActiveAction(action);
            break;
        }
    }
}

void MainWindow::showMenu(const QPoint& globalPos) {
    undoAction_->setEnabled(household_ && household_->canUndo());
    redoAction_->setEnabled(household_ && household_->canRedo());
    restoreAction_->setEnabled(household_ && backups_);
    contextMenu_->popup(globalPos);
}

}  // namespace vondrel
