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

// The game folder is kept where the program has always kept it. A pipe in place of the file is
// not opened (it would never answer), and what stops a write is named.
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
    testing::putOdd(conf, testing::Odd::Fifo);
    const std::string pipe = conf.string() + " (not a regular file)";
    EXPECT_EQ(store.read("KWAL", "Conf", "PathOfTheVeks", "none"), "none");
    EXPECT_EQ(store.problem(), pipe);
    EXPECT_EQ(store.write("KWAL", "Conf", "PathOfTheVeks", "/games/"), pipe);
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
    using I = MessageIcon;
    using Q = QMessageBox;
    // clang-format off
    const std::tuple<B, Reply, A, I, Q::Icon> cases[] = {
        {B::YesNo, Return, A::Yes, I::Question, Q::Question},
        {B::YesNo, Click, A::No, I::None, Q::NoIcon},
        {B::YesNo, Escape, A::No, I::Critical, Q::Critical},
        {B::YesNo, Close, A::No, I::Information, Q::Information},
        {B::RetryCancel, Return, A::Retry, I::Question, Q::Question},
        {B::RetryCancel, Click, A::Cancel, I::Question, Q::Question},
        {B::RetryCancel, Escape, A::Cancel, I::Question, Q::Question},
        {B::Ok, Return, A::Ok, I::Critical, Q::Critical},
        {B::Ok, Escape, A::Ok, I::Information, Q::Information},
        {B::Ok, Close, A::Ok, I::None, Q::NoIcon}};
    // clang-format on
    for (const auto& [buttons, reply, answer, icon, qtIcon] : cases) {
        QTimer::singleShot(0, [reply = reply, yesNo = buttons == B::YesNo, qtIcon = qtIcon] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            // The text as it is written, under the program's name, with the icon asked for.
            EXPECT_EQ(box->windowTitle() + " " + box->text(),
                      QString::fromUtf8("Vondrel <b>Zo\u00eb</b>"));
            EXPECT_EQ(box->textFormat(), Qt::PlainText);
            EXPECT_EQ(box->icon(), qtIcon);
            if (reply == Close)
                return void(box->close());
            if (reply == Click)
                return box->button(yesNo ? QMessageBox::No : QMessageBox::Cancel)->click();
            QTest::keyClick(box, reply == Return ? Qt::Key_Return : Qt::Key_Escape);
        });
        EXPECT_EQ(QtMessageBoxes().show("<b>Zo\u00eb</b>", icon, buttons), answer)
            << static_cast<int>(buttons) << " " << reply;
    }
}

// The folder dialog with its title, start folder and hint; the folder comes back in UTF-8.
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
}

}  // namespace
}  // namespace vondrel
