#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTimer>
#include <fstream>
#include <functional>
#include <memory>

#include "gamedata/GameFolder.h"
#include "platform/QtFolderPicker.h"
#include "platform/QtMessageBoxes.h"
#include "platform/QtSettingsStore.h"
#include "support/OddFiles.h"
#include "support/TempDir.h"

namespace vondrel {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;

QString qs(const fs::path& p) {
    return QString::fromStdString(p.string());
}

// Runs `action` on the modal widget as soon as the event loop of a modal dialog shows it.
void onceModalShown(std::function<void(QWidget*)> action) {
    auto* timer = new QTimer;
    timer->setInterval(0);
    QObject::connect(timer, &QTimer::timeout, [timer, action = std::move(action)] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr || !modal->isVisible())
            return;
        timer->stop();
        timer->deleteLater();
        action(modal);
    });
    timer->start();
}

void sendKey(QWidget* widget, int key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &press);
}

// The user-scope native settings redirected into a temporary folder for the test's length;
// the file dialog keeps its history there too.
class RedirectedUserSettings : public ::testing::Test {
  protected:
    void SetUp() override {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, qs(config_.path()));
    }
    void TearDown() override {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
    }

    TempDir config_;
};

// Where the settings live natively elsewhere (the registry, property lists) they cannot be
// redirected, so the store is checked where they are files.
#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)

class QtSettingsStoreTest : public RedirectedUserSettings {
  protected:
    fs::path confFile() const { return config_.path() / "KWAL.conf"; }

    QtSettingsStore store_;
};

TEST_F(QtSettingsStoreTest, WritesTheKeyIntoItsGroupOfTheApplicationsFile) {
    store_.write(kSettingsApplication, kSettingsSection, kSettingsKey, "/games/The Veks/");

    ASSERT_TRUE(fs::is_regular_file(confFile()));
    QFile file(qs(confFile()));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    EXPECT_TRUE(text.contains(QStringLiteral("[Conf]\nPathOfTheVeks=/games/The Veks/\n")))
        << text.toStdString();

    EXPECT_EQ(QtSettingsStore().read(kSettingsApplication, kSettingsSection, kSettingsKey, "?"),
              "/games/The Veks/");
}

TEST_F(QtSettingsStoreTest, KeepsUtf8TextAndTheLatestValue) {
    store_.write("KWAL", "Conf", "PathOfTheVeks", "/first/");
    store_.write("KWAL", "Conf", "PathOfTheVeks", "/spiele/\u00dcber Veks \u20ac/");
    EXPECT_EQ(store_.read("KWAL", "Conf", "PathOfTheVeks", "?"), "/spiele/\u00dcber Veks \u20ac/");
}

// A pipe, a device or a folder in the settings file's place is not opened (a pipe would
// never answer), and a write that cannot be made says which file it was.
TEST_F(QtSettingsStoreTest, AnOddOrUnwritableSettingsFileIsReportedByName) {
    using testing::Odd;
    for (const Odd odd : {Odd::Fifo, Odd::DeviceLink, Odd::Folder}) {
        SCOPED_TRACE(testing::nameOf(odd));
        testing::putOdd(confFile(), odd);
        const std::string says = confFile().string() + " (not a regular file)";
        EXPECT_EQ(store_.read("KWAL", "Conf", "PathOfTheVeks", kNotFound), kNotFound);
        EXPECT_EQ(store_.problem(), says);
        EXPECT_EQ(store_.write("KWAL", "Conf", "PathOfTheVeks", "/games/"), says);
    }
    fs::remove_all(confFile());
    EXPECT_EQ(store_.read("KWAL", "Conf", "PathOfTheVeks", kNotFound), kNotFound);
    EXPECT_EQ(store_.problem(), "");

    // The settings folder is a file: nothing can be written under it.
    std::ofstream(config_.path() / "file") << "x";
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, qs(config_.path() / "file"));
    EXPECT_EQ(store_.write("KWAL", "Conf", "PathOfTheVeks", "/games/"),
              (config_.path() / "file" / "KWAL.conf").string() + " (it cannot be written)");
}

TEST_F(QtSettingsStoreTest, AnswersTheDefaultForWhatIsNotStored) {
    EXPECT_EQ(store_.read("KWAL", "Conf", "PathOfTheVeks", kNotFound), kNotFound);
    EXPECT_FALSE(fs::exists(confFile()));

    store_.write("KWAL", "Conf", "PathOfTheVeks", "/games/");
    EXPECT_EQ(store_.read("KWAL", "Conf", "Other", "default"), "default");
    EXPECT_EQ(store_.read("KWAL", "Other", "PathOfTheVeks", "default"), "default");
    EXPECT_EQ(store_.read("Other", "Conf", "PathOfTheVeks", "default"), "default");
}

#endif

TEST(QtFolderPicker, HandsOutTheFolderWithoutTrailingSeparator) {
    EXPECT_EQ(pickedFolder(QString()), std::nullopt);
    EXPECT_EQ(pickedFolder(QStringLiteral("/games/veks/")),
              QDir::toNativeSeparators("/games/veks").toStdString());
    EXPECT_EQ(pickedFolder(QStringLiteral("/games/veks")),
              QDir::toNativeSeparators("/games/veks").toStdString());
    EXPECT_EQ(pickedFolder(QStringLiteral("/games//")),
              QDir::toNativeSeparators("/games").toStdString());
    EXPECT_EQ(pickedFolder(QStringLiteral("/")), QDir::toNativeSeparators("/").toStdString());
    EXPECT_EQ(pickedFolder(QString::fromUtf8("/spiele/\u00dcber")),
              QDir::toNativeSeparators("/spiele/\u00dcber").toStdString());
}

using QtFolderPickerTest = RedirectedUserSettings;

TEST_F(QtFolderPickerTest, ShowsADirectoryDialogWithTheTitleStartFolderAndHint) {
    TempDir start;
    QString title, opensIn, hint;
    bool directoriesOnly = false;
    onceModalShown([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        if (dialog == nullptr) {
            ADD_FAILURE() << "no file dialog";
            modal->close();
            return;
        }
        title = dialog->windowTitle();
        opensIn = dialog->directory().absolutePath();
        if (auto* line = dialog->findChild<QLabel*>(QStringLiteral("folderHint")))
            hint = line->isVisibleTo(dialog) ? line->text() : QString();
        directoriesOnly = dialog->fileMode() == QFileDialog::Directory &&
                          dialog->testOption(QFileDialog::ShowDirsOnly);
        dialog->reject();
    });
    QtFolderPicker picker;
    EXPECT_EQ(picker.pickFolder(kBrowseTitle, start.path().string(), "Choose the game."),
              std::nullopt);
    EXPECT_EQ(title.toStdString(), kBrowseTitle);
    EXPECT_EQ(opensIn, QDir(qs(start.path())).absolutePath());
    EXPECT_EQ(hint, QStringLiteral("Choose the game."));
    EXPECT_TRUE(directoriesOnly);
}

TEST_F(QtFolderPickerTest, ReturnsTheChosenFolder) {
    TempDir root;
    const fs::path chosen = root.path() / "The Veks";
    fs::create_directory(chosen);
    onceModalShown([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        if (dialog == nullptr) {
            ADD_FAILURE() << "no file dialog";
            modal->close();
            return;
        }
        dialog->setDirectory(qs(root.path()));
        dialog->selectFile(qs(chosen));
        static_cast<QDialog*>(dialog)->accept();
    });
    QtFolderPicker picker;
    EXPECT_EQ(picker.pickFolder(kBrowseTitle, "", ""), chosen.string());
}

struct BoxCase {
    MessageButtons buttons;
    QMessageBox::StandardButtons expectedButtons;
    QMessageBox::StandardButton defaultButton;
    QMessageBox::StandardButton escapeButton;
};

TEST(QtMessageBoxes, BuildsTheBoxWithTitleTextIconAndButtons) {
    const BoxCase cases[] = {
        {MessageButtons::Ok, QMessageBox::Ok, QMessageBox::Ok, QMessageBox::Ok},
        {MessageButtons::YesNo, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes,
         QMessageBox::No},
        {MessageButtons::RetryCancel, QMessageBox::Retry | QMessageBox::Cancel, QMessageBox::Retry,
         QMessageBox::Cancel},
    };
    for (const BoxCase& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.buttons));
        const auto box = buildMessageBox(nullptr, "Could not read <b>Zo\u00eb</b>",
                                         MessageIcon::None, c.buttons);
        EXPECT_EQ(box->windowTitle(), QStringLiteral("Vondrel"));
        EXPECT_EQ(box->text(), QString::fromUtf8("Could not read <b>Zo\u00eb</b>"));
        EXPECT_EQ(box->textFormat(), Qt::PlainText);
        EXPECT_EQ(box->standardButtons(), c.expectedButtons);
        EXPECT_EQ(static_cast<QAbstractButton*>(box->defaultButton()),
                  box->button(c.defaultButton));
        EXPECT_EQ(box->escapeButton(), box->button(c.escapeButton));
        EXPECT_FALSE(box->isVisible());
    }
}

TEST(QtMessageBoxes, ShowsTheAskedIcon) {
    const std::pair<MessageIcon, QMessageBox::Icon> icons[] = {
        {MessageIcon::None, QMessageBox::NoIcon},
        {MessageIcon::Critical, QMessageBox::Critical},
        {MessageIcon::Question, QMessageBox::Question},
        {MessageIcon::Information, QMessageBox::Information},
    };
    for (const auto& [icon, expected] : icons) {
        EXPECT_EQ(buildMessageBox(nullptr, "x", icon, MessageButtons::Ok)->icon(), expected);
    }
}

// Shows a box through QtMessageBoxes and answers it with `answer` once it is up.
MessageAnswer answerBox(MessageButtons buttons, std::function<void(QMessageBox*)> answer) {
    onceModalShown([answer = std::move(answer)](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        if (box == nullptr) {
            ADD_FAILURE() << "no message box";
            modal->close();
            return;
        }
        answer(box);
    });
    QtMessageBoxes boxes;
    return boxes.show("Question?", MessageIcon::Question, buttons);
}

TEST(QtMessageBoxes, ReturnsTheAnswerGiven) {
    const auto press = [](int key) { return [key](QMessageBox* box) { sendKey(box, key); }; };
    const auto click = [](QMessageBox::StandardButton b) {
        return [b](QMessageBox* box) { box->button(b)->click(); };
    };
    EXPECT_EQ(answerBox(MessageButtons::YesNo, press(Qt::Key_Return)), MessageAnswer::Yes);
    EXPECT_EQ(answerBox(MessageButtons::YesNo, press(Qt::Key_Escape)), MessageAnswer::No);
    EXPECT_EQ(answerBox(MessageButtons::YesNo, click(QMessageBox::No)), MessageAnswer::No);
    EXPECT_EQ(answerBox(MessageButtons::RetryCancel, press(Qt::Key_Return)), MessageAnswer::Retry);
    EXPECT_EQ(answerBox(MessageButtons::RetryCancel, press(Qt::Key_Escape)), MessageAnswer::Cancel);
    EXPECT_EQ(answerBox(MessageButtons::RetryCancel, click(QMessageBox::Cancel)),
              MessageAnswer::Cancel);
    EXPECT_EQ(answerBox(MessageButtons::Ok, press(Qt::Key_Escape)), MessageAnswer::Ok);
    EXPECT_EQ(answerBox(MessageButtons::Ok, [](QMessageBox* box) { box->close(); }),
              MessageAnswer::Ok);
    EXPECT_EQ(answerBox(MessageButtons::YesNo, [](QMessageBox* box) { box->close(); }),
              MessageAnswer::No);
}

}  // namespace
}  // namespace vondrel
