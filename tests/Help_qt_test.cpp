// The compiled help file as the build makes it, the help window and the Help button's opener.

#include <gtest/gtest.h>

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include "support/Scripted.h"
#include "ui/HelpOpenerQt.h"
#include "ui/HelpViewer.h"

namespace vondrel {
namespace {

const QString kBuiltChm = QStringLiteral(VONDREL_HELP_CHM);

// href and src of the pages, url() of the stylesheet; links that leave the file or stay on the
// page are not followed. Spelled exactly: a viewer that tells case apart finds them.
TEST(BuiltHelpFile, EveryLinkLeadsIntoTheFile) {
    ChmFile chm;
    ASSERT_TRUE(chm.open(kBuiltChm)) << kBuiltChm.toStdString();
    const QStringList entries = chm.entries();
    static const QRegularExpression link(
        QStringLiteral(R"re(\b(?:href|src)\s*=\s*["']([^"']*)["']|url\(\s*["']?([^)'"\s]*))re"));
    int checked = 0;
    for (const QString& entry : entries.filter(QRegularExpression("\\.(html|css)$"))) {
        for (const QRegularExpressionMatch& m :
             link.globalMatch(QString::fromUtf8(chm.read(entry).value_or("")))) {
            const QUrl url(m.captured(1) + m.captured(2));
            if (!url.isRelative() || url.path().isEmpty())
                continue;
            ++checked;
            EXPECT_TRUE(entries.contains(ChmBrowser::urlFor(entry).resolved(url).path()))
                << entry.toStdString() << " links to " << url.toString().toStdString();
        }
    }
    EXPECT_GT(checked, 50);
}

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
    const std::tuple<QByteArray, QByteArray, QString> cases[] = {
        {{},
         {},
         "The help file VDL.chm was not found. Vondrel looked in:\n" + first.path() + "\n" +
             second.path()},
        {{}, junk, damaged},
        {{}, whole.left(120), damaged},
        {whole, junk, {}}};
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
    // What is done, then the page and its title, and whether Back and Forward can be used.
    ChmBrowser* browser = viewer->browser();
    const auto show = [&](const char* page) { browser->setSource(QUrl(page)); };
    const std::tuple<std::function<void()>, const char*, const char*, bool, bool> steps[] = {
        {[&] { viewer->showTopic("nothing-here.html"); }, "/index.html", "Vondrel Help", false,
         false},
        {[&] { show("jobs.html"); }, "/jobs.html", "Jobs and performance", true, false},
        {[&] { show("relationships.html"); }, "/relationships.html", "Relationships", true, false},
        {[&] { viewer->backButton()->click(); }, "/jobs.html", "Jobs and performance", true, true},
        {[&] { viewer->forwardButton()->click(); }, "/relationships.html", "Relationships", true,
         false},
        {[&] { viewer->homeButton()->click(); }, "/index.html", "Vondrel Help", true, false},
        {[&] { show("family.html"), opener.open("VDL.chm", "0"); }, "/index.html", "Vondrel Help",
         true, false},
    };
    for (const auto& [step, page, title, back, forward] : steps) {
        step();
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
