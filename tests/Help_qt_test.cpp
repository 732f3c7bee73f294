// The compiled help file as the build makes it, the help window and the Help button's opener.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QMouseEvent>
#include <QRegularExpression>
#include <QSet>
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

TEST(BuiltHelpFile, OpensAtTheStartPageAndEveryLinkLeadsIntoTheFile) {
    ChmFile chm;
    ASSERT_TRUE(chm.open(kBuiltChm)) << kBuiltChm.toStdString();
    EXPECT_EQ(chm.defaultTopic(), QStringLiteral("/index.html"));
    const QStringList entries = chm.entries();
    EXPECT_FALSE(entries.contains(QStringLiteral("/#SYSTEM")));
    EXPECT_FALSE(chm.read(QStringLiteral("/no-such-page.html")));

    // href and src of the pages, url() of the stylesheet; links that leave the file or stay
    // on the page are not followed. Spelled exactly: a viewer that tells case apart finds them.
    static const QRegularExpression link(
        QStringLiteral(R"re(\b(?:href|src)\s*=\s*["']([^"']*)["']|url\(\s*["']?([^)'"\s]*))re"),
        QRegularExpression::CaseInsensitiveOption);
    QSet<QString> reached;
    int pages = 0;
    int checked = 0;
    for (const QString& entry : entries) {
        if (!entry.endsWith(QStringLiteral(".html")) && !entry.endsWith(QStringLiteral(".css")))
            continue;
        pages += entry.endsWith(QStringLiteral(".html")) ? 1 : 0;
        auto it = link.globalMatch(QString::fromUtf8(chm.read(entry).value_or("")));
        while (it.hasNext()) {
            const QRegularExpressionMatch m = it.next();
            const QUrl url(m.captured(1) + m.captured(2));
            if (!url.isRelative() || url.path().isEmpty())
                continue;
            const QString target = ChmBrowser::urlFor(entry).resolved(url).path(QUrl::FullyDecoded);
            ++checked;
            reached.insert(target);
            EXPECT_TRUE(entries.contains(target))
                << entry.toStdString() << " links to " << url.toString().toStdString();
        }
    }
    EXPECT_EQ(pages, 9);
    EXPECT_GT(checked, 50);
    for (const QString& entry : entries) {
        if (entry.endsWith(QStringLiteral(".html")) || entry == QStringLiteral("/style.css") ||
            entry == QStringLiteral("/images/logo.png")) {
            EXPECT_TRUE(reached.contains(entry)) << entry.toStdString() << " is never linked";
        }
    }
}

// Presses and releases the left button in the middle of the first link to `href`.
bool clickLink(ChmBrowser* browser, const QString& href) {
    for (QTextBlock block = browser->document()->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.charFormat().anchorHref() != href || fragment.length() < 2)
                continue;
            QTextCursor cursor(browser->document());
            cursor.setPosition(fragment.position() + fragment.length() / 2);
            const QPoint at(browser->cursorRect(cursor).left(),
                            browser->cursorRect(cursor).center().y());
            QTest::mouseClick(browser->viewport(), Qt::LeftButton, Qt::NoModifier, at);
            return true;
        }
    }
    return false;
}

TEST(HelpViewer, FollowsLinksBackForwardAndHomeWithTheFilesStylesAndPictures) {
    HelpViewer viewer;
    EXPECT_EQ(viewer.windowTitle(), QStringLiteral("Vondrel Help"));
    ASSERT_TRUE(viewer.openFile(kBuiltChm));
    viewer.resize(700, 520);
    viewer.show();
    viewer.showTopic(QStringLiteral("nothing-here.html"));
    ChmBrowser* browser = viewer.browser();
    const auto at = [&](const char* page, const char* title, bool back, bool forward) {
        EXPECT_EQ(viewer.currentPage(), QString::fromLatin1(page));
        EXPECT_EQ(browser->documentTitle(), QString::fromLatin1(title)) << page;
        EXPECT_EQ(viewer.backButton()->isEnabled(), back) << page;
        EXPECT_EQ(viewer.forwardButton()->isEnabled(), forward) << page;
    };
    at("/index.html", "Vondrel Help", false, false);
    // Headings in the program's navy: the stylesheet came out of the file.
    QTextBlock heading = browser->document()->begin();
    while (heading.isValid() && heading.blockFormat().headingLevel() != 1)
        heading = heading.next();
    EXPECT_EQ(heading.begin().fragment().charFormat().foreground().color(), QColor(7, 0, 128));

    ASSERT_TRUE(clickLink(browser, QStringLiteral("jobs.html")));
    at("/jobs.html", "Jobs and performance", true, false);
    ASSERT_TRUE(clickLink(browser, QStringLiteral("relationships.html")));
    EXPECT_EQ(viewer.currentPage(), QStringLiteral("/relationships.html"));
    viewer.backButton()->click();
    at("/jobs.html", "Jobs and performance", true, true);
    viewer.backButton()->click();
    at("/index.html", "Vondrel Help", false, true);
    viewer.forwardButton()->click();
    at("/jobs.html", "Jobs and performance", true, true);

    // The page's career icons, their magenta background see-through as in the window.
    const QImage icon =
        browser->document()
            ->resource(QTextDocument::ImageResource, QUrl(QStringLiteral("images/job_03.png")))
            .value<QImage>();
    EXPECT_EQ(icon.size(), QSize(33, 25));
    EXPECT_EQ(icon.pixelColor(0, 0).alpha(), 0);
    EXPECT_EQ(icon.pixelColor(16, 12).alpha(), 255);
    const auto load = [&](QTextDocument::ResourceType type, const char* url) {
        return browser->loadResource(type, QUrl(QString::fromLatin1(url)));
    };
    EXPECT_EQ(load(QTextDocument::ImageResource, "images/logo.png").value<QImage>().size(),
              QSize(95, 43));
    EXPECT_TRUE(load(QTextDocument::ImageResource, "images/no.png").isNull());
    // An address outside the file is not served.
    EXPECT_TRUE(load(QTextDocument::HtmlResource, "file:///etc/hostname").isNull());

    viewer.homeButton()->click();
    EXPECT_EQ(viewer.currentPage(), QStringLiteral("/index.html"));
    viewer.showTopic(QStringLiteral("/saving.html"));
    EXPECT_TRUE(browser->toPlainText().contains(QStringLiteral("Saved!")));
}

TEST(ChmHelpOpener, ShowsTheFirstFileFoundOverTheMainWindowAndEscapeClosesIt) {
    const QStringList folders = ChmHelpOpener::defaultFolders();
    EXPECT_EQ(folders, (QStringList{QDir::cleanPath(QCoreApplication::applicationDirPath()),
                                    QDir::cleanPath(QCoreApplication::applicationDirPath() +
                                                    "/../share/vondrel")}));
    QTemporaryDir first, second;
    ASSERT_TRUE(QFile::copy(kBuiltChm, second.filePath(QStringLiteral("VDL.chm"))));
    ScriptedMessageBoxes boxes;
    ChmHelpOpener opener(boxes, {first.path(), second.path()});
    QWidget mainWindow;
    opener.setParent(&mainWindow);
    opener.open("VDL.chm", "0");
    HelpViewer* viewer = opener.viewer();
    ASSERT_NE(viewer, nullptr);
    EXPECT_TRUE(viewer->isVisible());
    EXPECT_EQ(viewer->parentWidget(), &mainWindow);
    EXPECT_TRUE(viewer->isWindow());
    EXPECT_EQ(viewer->file().fileName(), second.filePath(QStringLiteral("VDL.chm")));

    // A second click reuses the window, back at the start page.
    viewer->showTopic(QStringLiteral("family.html"));
    opener.open("VDL.chm", "0");
    EXPECT_EQ(opener.viewer(), viewer);
    EXPECT_EQ(viewer->currentPage(), QStringLiteral("/index.html"));
    EXPECT_TRUE(boxes.shown.empty());
    QApplication::setActiveWindow(viewer);
    QTest::keyClick(viewer->browser(), Qt::Key_Escape);
    EXPECT_FALSE(viewer->isVisible());
}

// No file, junk, the first bytes of the real file: a message naming what was looked for;
// then the whole file is shown by the same opener.
TEST(ChmHelpOpener, NamesAMissingOrDamagedFileAndShowsItOnceWhole) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("VDL.chm"));
    ScriptedMessageBoxes boxes;
    ChmHelpOpener opener(boxes, {dir.path()});
    QFile real(kBuiltChm);
    ASSERT_TRUE(real.open(QIODevice::ReadOnly));
    const QByteArray whole = real.readAll();
    const std::pair<QByteArray, QString> cases[] = {
        {{}, QDir::toNativeSeparators(dir.path())},
        {QByteArray(4096, '\x5a'), QDir::toNativeSeparators(path)},
        {whole.left(120), QDir::toNativeSeparators(path)},
        {whole, {}}};
    for (const auto& [bytes, named] : cases) {
        QFile file(path);
        if (!bytes.isEmpty() && file.open(QIODevice::WriteOnly))
            file.write(bytes);
        file.close();
        boxes.shown.clear();
        opener.open("VDL.chm", "0");
        const bool shown = opener.viewer() != nullptr && opener.viewer()->isVisible();
        EXPECT_EQ(shown, named.isEmpty());
        EXPECT_EQ(shown ? opener.viewer()->currentPage() : "", shown ? "/index.html" : "");
        ASSERT_EQ(boxes.shown.size(), named.isEmpty() ? 0u : 1u);
        for (const ScriptedMessageBoxes::Shown& box : boxes.shown) {
            EXPECT_TRUE(QString::fromStdString(box.text).contains(named)) << box.text;
            EXPECT_TRUE(QString::fromStdString(box.text).contains("VDL.chm")) << box.text;
            EXPECT_EQ(box.icon, bytes.isEmpty() ? MessageIcon::Information : MessageIcon::Critical);
        }
    }
}

}  // namespace
}  // namespace vondrel
