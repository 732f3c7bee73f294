#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QSettings>
#include <QStandardPaths>
#include <QTimer>
#include <fstream>

#include "platform/QtFolderPicker.h"
#include "platform/QtMessageBoxes.h"
#include "platform/QtSettingsStore.h"
#include "support/OddFiles.h"
#include "support/Scripted.h"
#include "support/TempDir.h"

namespace vondrel {
namespace {

namespace fs = std::filesystem;

QString qs(const fs::path& p) {
    return QString::fromStdString(p.string());
}

// Runs `action` on the modal dialog once its event loop runs.
template <class Action>
void onceModalShown(Action action) {
    QTimer::singleShot(0, [action] { action(QApplication::activeModalWidget()); });
}

// The user-scope native settings (and the file dialog's history) in a temporary folder.
class RedirectedUserSettings : public ::testing::Test {
  protected:
    void SetUp() override {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, qs(config_.path()));
    }
    void TearDown() override {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
    }
    testing::TempDir config_;
};

// The settings store and its scripted stand-in keep the same promises. Elsewhere the native
// settings are the registry or property lists, which cannot be redirected.
#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)

template <class Store>
class SettingsContract : public RedirectedUserSettings {};
using SettingsStores = ::testing::Types<QtSettingsStore, ScriptedSettings>;
TYPED_TEST_SUITE(SettingsContract, SettingsStores);

TYPED_TEST(SettingsContract, KeepsTheLatestUtf8ValueAndAnswersTheDefaultForTheRest) {
    TypeParam store;
    EXPECT_EQ(store.read("KWAL", "Conf", "PathOfTheVeks", "default"), "default");
    EXPECT_EQ(store.write("KWAL", "Conf", "PathOfTheVeks", "/first/"), "");
    EXPECT_EQ(store.write("KWAL", "Conf", "PathOfTheVeks", "/spiele/\u00dcber Veks \u20ac/"), "");
    EXPECT_EQ(store.read("KWAL", "Conf", "PathOfTheVeks", "?"), "/spiele/\u00dcber Veks \u20ac/");
    EXPECT_EQ(store.read("KWAL", "Conf", "Other", "default"), "default");
    EXPECT_EQ(store.read("KWAL", "Other", "PathOfTheVeks", "default"), "default");
    EXPECT_EQ(store.read("Other", "Conf", "PathOfTheVeks", "default"), "default");
    EXPECT_EQ(store.problem(), "");
}

using QtSettingsStoreTest = RedirectedUserSettings;

TEST_F(QtSettingsStoreTest, WritesTheApplicationsFileAndReportsOddOnesByName) {
    const fs::path conf = config_.path() / "KWAL.conf";
    QtSettingsStore store;
    store.write("KWAL", "Conf", "PathOfTheVeks", "/games/The Veks/");
    std::ifstream in(conf);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}),
              "[Conf]\nPathOfTheVeks=/games/The Veks/\n");

    // A pipe, a device or a folder in its place is not opened (a pipe would never answer).
    for (const testing::Odd odd :
         {testing::Odd::Fifo, testing::Odd::DeviceLink, testing::Odd::Folder}) {
        SCOPED_TRACE(testing::nameOf(odd));
        testing::putOdd(conf, odd);
        const std::string says = conf.string() + " (not a regular file)";
        EXPECT_EQ(store.read("KWAL", "Conf", "PathOfTheVeks", "none"), "none");
        EXPECT_EQ(store.problem(), says);
        EXPECT_EQ(store.write("KWAL", "Conf", "PathOfTheVeks", "/games/"), says);
    }
    // The settings folder is a file: nothing can be written under it.
    std::ofstream(config_.path() / "file") << "x";
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, qs(config_.path() / "file"));
    EXPECT_EQ(store.write("KWAL", "Conf", "PathOfTheVeks", "/games/"),
              (config_.path() / "file" / "KWAL.conf").string() + " (it cannot be written)");
}

#endif

// How a box is answered: its first button (Return, the default), its second one (a click),
// Escape, or closing the window.
enum class Reply { First, Second, Escape, Close };

template <class Boxes>
class MessageBoxContract : public ::testing::Test {
  protected:
    MessageAnswer ask(MessageButtons buttons, Reply reply) {
        const bool yesNo = buttons == MessageButtons::YesNo;
        if constexpr (std::is_same_v<Boxes, ScriptedMessageBoxes>) {
            if (reply == Reply::First && buttons != MessageButtons::Ok)
                boxes_.answers = {yesNo ? MessageAnswer::Yes : MessageAnswer::Retry};
            if (reply == Reply::Second)
                boxes_.answers = {yesNo ? MessageAnswer::No : MessageAnswer::Cancel};
        } else {
            onceModalShown([reply, yesNo](QWidget* modal) {
                auto* box = qobject_cast<QMessageBox*>(modal);
                if (reply == Reply::Close || box == nullptr)
                    return void(modal->close());
                if (reply == Reply::Second)
                    return box->button(yesNo ? QMessageBox::No : QMessageBox::Cancel)->click();
                QKeyEvent press(QEvent::KeyPress,
                                reply == Reply::First ? Qt::Key_Return : Qt::Key_Escape,
                                Qt::NoModifier);
                QCoreApplication::sendEvent(box, &press);
            });
        }
        return boxes_.show("Question?", MessageIcon::Question, buttons);
    }
    Boxes boxes_;
};
using AllMessageBoxes = ::testing::Types<QtMessageBoxes, ScriptedMessageBoxes>;
TYPED_TEST_SUITE(MessageBoxContract, AllMessageBoxes);

TYPED_TEST(MessageBoxContract, AnswersWithTheButtonChosenAndTheSecondOneWhenDismissed) {
    using B = MessageButtons;
    using A = MessageAnswer;
    // clang-format off
    const std::tuple<B, Reply, A> cases[] = {
        {B::YesNo, Reply::First, A::Yes}, {B::YesNo, Reply::Second, A::No},
        {B::YesNo, Reply::Escape, A::No}, {B::YesNo, Reply::Close, A::No},
        {B::RetryCancel, Reply::First, A::Retry}, {B::RetryCancel, Reply::Second, A::Cancel},
        {B::RetryCancel, Reply::Escape, A::Cancel}, {B::Ok, Reply::First, A::Ok},
        {B::Ok, Reply::Escape, A::Ok}, {B::Ok, Reply::Close, A::Ok}};
    // clang-format on
    for (const auto& [buttons, reply, answer] : cases) {
        EXPECT_EQ(this->ask(buttons, reply), answer)
            << static_cast<int>(buttons) << " " << static_cast<int>(reply);
    }
}

TEST(QtMessageBoxes, ShowsThePlainTextUnderTheProgramsNameWithTheAskedIcon) {
    // clang-format off
    const std::pair<MessageIcon, QMessageBox::Icon> icons[] = {
        {MessageIcon::None, QMessageBox::NoIcon}, {MessageIcon::Critical, QMessageBox::Critical},
        {MessageIcon::Question, QMessageBox::Question},
        {MessageIcon::Information, QMessageBox::Information}};
    // clang-format on
    for (const auto& [icon, expected] : icons) {
        const auto box =
            buildMessageBox(nullptr, "Could not read <b>Zo\u00eb</b>", icon, MessageButtons::Ok);
        EXPECT_EQ(box->windowTitle(), QStringLiteral("Vondrel"));
        EXPECT_EQ(box->text(), QString::fromUtf8("Could not read <b>Zo\u00eb</b>"));
        EXPECT_EQ(box->textFormat(), Qt::PlainText);
        EXPECT_EQ(box->icon(), expected);
    }
}

using QtFolderPickerTest = RedirectedUserSettings;

// The folder dialog with its title, start folder and hint; the folder comes back in UTF-8
// without a trailing separator, a root as it is.
TEST_F(QtFolderPickerTest, AsksForAFolderWithTheTitleStartFolderAndHint) {
    const fs::path chosen = config_.path() / "\u00dcber Veks";
    fs::create_directory(chosen);
    QStringList seen;
    onceModalShown([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        auto* hint = dialog->findChild<QLabel*>(QStringLiteral("folderHint"));
        seen << dialog->windowTitle() << dialog->directory().absolutePath()
             << (hint && hint->isVisibleTo(dialog) ? hint->text() : QString())
             << QString::number(dialog->fileMode() == QFileDialog::Directory &&
                                dialog->testOption(QFileDialog::ShowDirsOnly));
        dialog->selectFile(qs(chosen));
        static_cast<QDialog*>(dialog)->accept();
    });
    EXPECT_EQ(QtFolderPicker().pickFolder("Pick it", config_.path().string(), "Choose the game."),
              chosen.string());
    EXPECT_EQ(seen, (QStringList{"Pick it", qs(config_.path()), "Choose the game.", "1"}));
    EXPECT_EQ(pickedFolder(QString()), std::nullopt);
    EXPECT_EQ(pickedFolder(QStringLiteral("/games//")), "/games");
    EXPECT_EQ(pickedFolder(QStringLiteral("/")), "/");
}

}  // namespace
}  // namespace vondrel
