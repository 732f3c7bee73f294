// The compiled help file as the build makes it, the help window and the Help button's opener.

#include <gtest/gtest.h>

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
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
        QStringLiteral(R"re(\b(?:href|src)\s*=\s*["']([^"']*)["']|url\(\s*["']?([^)'"\s]*))re"),
        QRegularExpression::CaseInsensitiveOption);
    int checked = 0;
    for (const QString& entry : entries.filter(QRegularExpression("\\.(html|css)$"))) {
        auto it = link.globalMatch(QString::fromUtf8(chm.read(entry).value_or("")));
        while (it.hasNext()) {
            const QRegularExpressionMatch m = it.next();
            const QUrl url(m.captured(1) + m.captured(2));
            if (!url.isRelative() || url.path().isEmpty())
                continue;
            ++checked;
            EXPECT_TRUE(
                entries.contains(ChmBrowser::urlFor(entry).resolved(url).path(QUrl::FullyDecoded)))
                << entry.toStdString() << " links to " << url.toString().toStdString();
        }
    }
    EXPECT_GT(checked, 50);
}

// The Help button's opener looks beside the program, then in the installed data folder. No
// file, junk or the first bytes of the real one: a message naming what was looked for; the
// whole file: the help window over the main window at the start page.
TEST(ChmHelpOpener, ShowsTheFirstFileFoundOrSaysWhatIsMissing) {
    const QString programDir = QCoreApplication::applicationDirPath();
    EXPECT_EQ(ChmHelpOpener::defaultFolders(),
              (QStringList{programDir, QDir::cleanPath(programDir + "/../share/vondrel")}));
    QTemporaryDir first, second;
    const QString path = second.filePath(QStringLiteral("VDL.chm"));
    QFile real(kBuiltChm);
    ASSERT_TRUE(real.open(QIODevice::ReadOnly));
    const QByteArray whole = real.readAll();
    const QString damaged =
        "The help file " + path + " cannot be read. It is damaged or is no compiled help file.";
    const std::pair<QByteArray, QString> cases[] = {
        {{},
         "The help file VDL.chm was not found. Vondrel looked in:\n" + first.path() + "\n" +
             second.path()},
        {QByteArray(4096, '\x5a'), damaged},
        {whole.left(120), damaged},
        {whole, {}}};
    ScriptedMessageBoxes boxes;
    ChmHelpOpener opener(boxes, {first.path(), second.path()});
    QWidget mainWindow;
    opener.setParent(&mainWindow);
    for (const auto& [bytes, message] : cases) {
        QFile file(path);
        if (!bytes.isEmpty() && file.open(QIODevice::WriteOnly))
            file.write(bytes);
        file.close();
        boxes.shown.clear();
        opener.open("VDL.chm", "0");
        HelpViewer* viewer = opener.viewer();
        EXPECT_EQ(viewer && viewer->isVisible() ? viewer->currentPage() : "",
                  message.isEmpty() ? "/index.html" : "");
        ASSERT_EQ(boxes.shown.size(), message.isEmpty() ? 0u : 1u);
        for (const ScriptedMessageBoxes::Shown& box : boxes.shown)
            EXPECT_EQ(QString::fromStdString(box.text), message);
    }
    HelpViewer* viewer = opener.viewer();
    EXPECT_EQ(viewer->windowTitle(), "Vondrel Help");
    EXPECT_TRUE(viewer->isWindow() && viewer->parentWidget() == &mainWindow);
    // A second click reuses the window, back at the start page; Escape closes it.
    viewer->showTopic(QStringLiteral("family.html"));
    opener.open("VDL.chm", "0");
    EXPECT_EQ(opener.viewer(), viewer);
    EXPECT_EQ(viewer->currentPage(), QStringLiteral("/index.html"));
    QApplication::setActiveWindow(viewer);
    QTest::keyClick(viewer->browser(), Qt::Key_Escape);
    EXPECT_FALSE(viewer->isVisible());
}

// Links, Back, Forward and Home, with the file's own stylesheet and pictures.
TEST(HelpViewer, FollowsLinksBackForwardAndHomeWithTheFilesStylesAndPictures) {
    HelpViewer viewer;
    ASSERT_TRUE(viewer.openFile(kBuiltChm));
    viewer.showTopic(QStringLiteral("nothing-here.html"));
    ChmBrowser* browser = viewer.browser();
    const auto link = [&](const char* href) { browser->setSource(QUrl(href)); };
    // What is done, then the page and its title, and whether Back and Forward can be used.
    const std::tuple<std::function<void()>, const char*, const char*, bool, bool> steps[] = {
        {[] {}, "/index.html", "Vondrel Help", false, false},
        {[&] { link("jobs.html"); }, "/jobs.html", "Jobs and performance", true, false},
        {[&] { link("relationships.html"); }, "/relationships.html", "Relationships", true, false},
        {[&] { viewer.backButton()->click(); }, "/jobs.html", "Jobs and performance", true, true},
        {[&] { viewer.backButton()->click(); }, "/index.html", "Vondrel Help", false, true},
        {[&] { viewer.forwardButton()->click(); }, "/jobs.html", "Jobs and performance", true,
         true},
        {[&] { viewer.homeButton()->click(); }, "/index.html", "Vondrel Help", true, false},
    };
    for (const auto& [step, page, title, back, forward] : steps) {
        step();
        EXPECT_EQ(viewer.currentPage(), page);
        EXPECT_EQ(browser->documentTitle(), title) << page;
        EXPECT_EQ(viewer.backButton()->isEnabled(), back) << page;
        EXPECT_EQ(viewer.forwardButton()->isEnabled(), forward) << page;
    }
    // Headings in the program's navy: the stylesheet came out of the file.
    QTextBlock heading = browser->document()->begin();
    while (heading.isValid() && heading.blockFormat().headingLevel() != 1)
        heading = heading.next();
    EXPECT_EQ(heading.begin().fragment().charFormat().foreground().color(), QColor(7, 0, 128));
    // Pictures come out of the file, their magenta background see-through; nothing else.
    const auto load = [&](QTextDocument::ResourceType type, const char* url) {
        return browser->loadResource(type, QUrl(QString::fromLatin1(url)));
    };
    const QImage icon = load(QTextDocument::ImageResource, "images/job_03.png").value<QImage>();
    EXPECT_EQ(icon.size(), QSize(33, 25));
    EXPECT_EQ(icon.pixelColor(0, 0).alpha(), 0);
    EXPECT_EQ(icon.pixelColor(16, 12).alpha(), 255);
    EXPECT_TRUE(load(QTextDocument::ImageResource, "images/no.png").isNull());
    EXPECT_TRUE(load(QTextDocument::HtmlResource, "file:///etc/hostname").isNull());
}

}  // namespace
}  // namespace vondrel
