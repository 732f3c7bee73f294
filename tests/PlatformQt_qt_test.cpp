#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QSettings>
#include <QTest>
#include <QTimer>
#include <fstream>

#include "platform/QtFolderPicker.h"
#include "platform/QtMessageBoxes.h"
#include "platform/QtSettingsStore.h"
#include "support/OddFiles.h"
#include "support/TempDir.h"

namespace vondrel {
namespace {

namespace fs = std::filesystem;

// The game folder is kept where the program has always kept it. A pipe, a device or a folder
// in place of the file is not opened (a pipe would never answer), and what stops a write is
// named.
TEST(QtSettingsStore, KeepsTheFolderInItsFileAndNamesWhatStopsIt) {
    const QSettings probe(QSettings::NativeFormat, QSettings::UserScope, "KWAL");
    const QString folder = QFileInfo(probe.fileName()).path();
    const fs::path conf = (folder + "/KWAL.conf").toStdString();
    QtSettingsStore store;
    EXPECT_EQ(store.read("KWAL", "Conf", "PathOfTheVeks", "none"), "none");
    EXPECT_EQ(store.write("KWAL", "Conf", "PathOfTheVeks", "/games/The Veks/"), "");
    std::ifstream in(conf);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}),
              "[Conf]\nPathOfTheVeks=/games/The Veks/\n");
    EXPECT_EQ(store.write("KWAL", "Conf", "PathOfTheVeks", "/spiele/\u00dcber Veks \u20ac/"), "");
    EXPECT_EQ(store.read("KWAL", "Conf", "PathOfTheVeks", "?"), "/spiele/\u00dcber Veks \u20ac/");
    EXPECT_EQ(store.problem(), "");
    using testing::Odd;
    for (const Odd odd : {Odd::Fifo, Odd::DeviceLink, Odd::Folder}) {
        SCOPED_TRACE(testing::nameOf(odd));
        testing::putOdd(conf, odd);
        const std::string says = conf.string() + " (not a regular file)";
        EXPECT_EQ(store.read("KWAL", "Conf", "PathOfTheVeks", "none"), "none");
        EXPECT_EQ(store.problem(), says);
        EXPECT_EQ(store.write("KWAL", "Conf", "PathOfTheVeks", "/games/"), says);
    }
    std::ofstream((folder + "/file").toStdString()) << "x";
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder + "/file");
    EXPECT_EQ(store.write("KWAL", "Conf", "PathOfTheVeks", "/games/"),
              (folder + "/file/KWAL.conf (it cannot be written)").toStdString());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder);
    fs::remove_all(conf);
}

// Return answers with the first button, a click with the one clicked, Escape and closing the
// window with the second; an OK box answers OK however it ends.
TEST(QtMessageBoxes, AnswerWithTheButtonChosenAndTheSecondOneWhenDismissed) {
    enum Reply { Return, Click, Escape, Close };
    using B = MessageButtons;
    using A = MessageAnswer;
    // clang-format off
    const std::tuple<B, Reply, A> cases[] = {
        {B::YesNo, Return, A::Yes}, {B::YesNo, Click, A::No}, {B::YesNo, Escape, A::No},
        {B::YesNo, Close, A::No}, {B::RetryCancel, Return, A::Retry},
        {B::RetryCancel, Click, A::Cancel}, {B::RetryCancel, Escape, A::Cancel},
        {B::Ok, Return, A::Ok}, {B::Ok, Escape, A::Ok}, {B::Ok, Close, A::Ok}};
    // clang-format on
    for (const auto& [buttons, reply, answer] : cases) {
        QTimer::singleShot(0, [reply = reply, yesNo = buttons == B::YesNo] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (reply == Close)
                return void(box->close());
            if (reply == Click)
                return box->button(yesNo ? QMessageBox::No : QMessageBox::Cancel)->click();
            QTest::keyClick(box, reply == Return ? Qt::Key_Return : Qt::Key_Escape);
        });
        EXPECT_EQ(QtMessageBoxes().show("Question?", MessageIcon::Question, buttons), answer)
            << static_cast<int>(buttons) << " " << reply;
    }
    // The text as it is written, under the program's name, with the icon asked for.
    const std::pair<MessageIcon, QMessageBox::Icon> icons[] = {
        {MessageIcon::None, QMessageBox::NoIcon},
        {MessageIcon::Critical, QMessageBox::Critical},
        {MessageIcon::Question, QMessageBox::Question},
        {MessageIcon::Information, QMessageBox::Information}};
    for (const auto& [icon, expected] : icons) {
        const auto box = buildMessageBox(nullptr, "<b>Zo\u00eb</b>", icon, MessageButtons::Ok);
        EXPECT_EQ(box->windowTitle() + " " + box->text(),
                  QString::fromUtf8("Vondrel <b>Zo\u00eb</b>"));
        EXPECT_EQ(box->textFormat(), Qt::PlainText);
        EXPECT_EQ(box->icon(), expected);
    }
}

// The folder dialog with its title, start folder and hint; the folder comes back in UTF-8,
// a root as it is.
TEST(QtFolderPicker, AsksWithTheTitleStartFolderAndHint) {
    testing::TempDir start;
    const fs::path chosen = start.path() / "\u00dcber Veks";
    fs::create_directory(chosen);
    QStringList seen;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        auto* hint = dialog->findChild<QLabel*>(QStringLiteral("folderHint"));
        seen << dialog->windowTitle() << dialog->directory().absolutePath()
             << (hint && hint->isVisibleTo(dialog) ? hint->text() : QString())
             << QString::number(dialog->fileMode());
        dialog->selectFile(QString::fromStdString(chosen.string()));
        static_cast<QDialog*>(dialog)->accept();
    });
    EXPECT_EQ(QtFolderPicker().pickFolder("Pick it", start.path().string(), "Choose the game."),
              chosen.string());
    EXPECT_EQ(seen, (QStringList{"Pick it", QString::fromStdString(start.path().string()),
                                 "Choose the game.", "2"}));
    EXPECT_EQ(pickedFolder(QStringLiteral("/")), "/");
}

}  // namespace
}  // namespace vondrel
