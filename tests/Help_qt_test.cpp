#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include "support/Scripted.h"
#include "ui/HelpOpenerQt.h"
#include "ui/HelpViewer.h"

namespace vondrel {
namespace {

const QString kBuiltChm = QStringLiteral(VONDREL_HELP_CHM);

// The Help button's opener looks beside the program, then in the installed data folder, and
// shows the first file found at its start page over the main window; a second click comes
// back to the start page. No file, junk or the first bytes of the real one: a message naming
// what was looked for. In the window: links, Back, Forward and Home.
TEST(ChmHelpOpener, ShowsTheFirstFileFoundOrSaysWhatIsWrong) {
    const QString programDir = QCoreApplication::applicationDirPath();
    EXPECT_EQ(ChmHelpOpener::defaultFolders(),
              (QStringList{programDir, QDir::cleanPath(programDir + "/../share/vondrel")}));
    QFile real(kBuiltChm);
    ASSERT_TRUE(real.open(QIODevice::ReadOnly));
    const QByteArray whole = real.readAll(), junk(4096, '\x5a');
    QTemporaryDir first, second;
    const QString damaged = "The help file " + second.filePath("VDL.chm") +
                            " cannot be read. It is damaged or is no compiled help file.";
    const QString missing = "The help file VDL.chm was not found. Vondrel looked in:\n" +
                            first.path() + "\n" + second.path();
    const std::tuple<QByteArray, QByteArray, QString> cases[] = {
        {{}, {}, missing}, {{}, junk, damaged}, {{}, whole.left(120), damaged}, {whole, junk, {}}};
    ScriptedMessageBoxes boxes;
    ChmHelpOpener opener(boxes, {first.path(), second.path()});
    QWidget mainWindow;
    opener.setParent(&mainWindow);
    for (const auto& [inFirst, inSecond, message] : cases) {
        for (const auto& [dir, bytes] :
             {std::pair(&first, inFirst), std::pair(&second, inSecond)}) {
            QFile file(dir->filePath("VDL.chm"));
            file.remove();
            if (!bytes.isEmpty() && file.open(QIODevice::WriteOnly))
                file.write(bytes);
        }
        boxes.shown.clear();
        opener.open("VDL.chm", "0");
        const HelpViewer* viewer = opener.viewer();
        EXPECT_EQ(viewer && viewer->isVisible() ? viewer->currentPage() : "",
                  message.isEmpty() ? "/index.html" : "");
        ASSERT_EQ(boxes.shown.size(), message.isEmpty() ? 0u : 1u);
        for (const ScriptedMessageBoxes::Shown& box : boxes.shown)
            EXPECT_EQ(QString::fromStdString(box.text), message);
    }
    HelpViewer* viewer = opener.viewer();
    EXPECT_EQ(viewer->file().fileName(), first.filePath("VDL.chm"));
    EXPECT_EQ(viewer->windowTitle(), "Vondrel Help");
    EXPECT_TRUE(viewer->isWindow() && viewer->parentWidget() == &mainWindow);
    // A link followed, a button pressed or Help again; then the page, its title and whether
    // Back and Forward can be used.
    ChmBrowser* browser = viewer->browser();
    const std::tuple<QString, const char*, const char*, bool, bool> steps[] = {
        {"jobs.html", "/jobs.html", "Jobs and performance", true, false},
        {"relationships.html", "/relationships.html", "Relationships", true, false},
        {"Back", "/jobs.html", "Jobs and performance", true, true},
        {"Forward", "/relationships.html", "Relationships", true, false},
        {"Help", "/index.html", "Vondrel Help", true, false},
        {"Back", "/relationships.html", "Relationships", true, true},
        {"Home", "/index.html", "Vondrel Help", true, false},
    };
    for (const auto& [step, page, title, back, forward] : steps) {
        if (step.endsWith(".html"))
            browser->setSource(QUrl(step));
        if (step == "Help")
            opener.open("VDL.chm", "0");
        for (QToolButton* button : viewer->findChildren<QToolButton*>()) {
            if (button->text() == step)
                button->click();
        }
        EXPECT_EQ(viewer->currentPage(), page);
        EXPECT_EQ(browser->documentTitle(), title) << page;
        EXPECT_EQ(viewer->backButton()->isEnabled(), back) << page;
        EXPECT_EQ(viewer->forwardButton()->isEnabled(), forward) << page;
    }
    EXPECT_EQ(opener.viewer(), viewer);
    // Pictures out of the file, their magenta background see-through.
    const QImage icon =
        browser->loadResource(QTextDocument::ImageResource, QUrl("images/job_03.png"))
            .value<QImage>();
    EXPECT_EQ(icon.size(), QSize(33, 25));
    EXPECT_EQ(icon.pixelColor(0, 0).alpha(), 0);
    EXPECT_EQ(icon.pixelColor(16, 12).alpha(), 255);
    QApplication::setActiveWindow(viewer);
    QTest::keyClick(browser, Qt::Key_Escape);
    EXPECT_FALSE(viewer->isVisible());
}

}  // namespace
}  // namespace vondrel
