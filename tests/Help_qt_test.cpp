// The compiled help file as the build makes it, the help window and the Help button's opener.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QMouseEvent>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QToolButton>
#include <optional>

#include "support/Scripted.h"
#include "ui/HelpOpenerQt.h"
#include "ui/HelpViewer.h"

#ifndef VONDREL_HELP_CHM
#error "VONDREL_HELP_CHM must name the help file the build compiles"
#endif

namespace vondrel {
namespace {

const QString kBuiltChm = QStringLiteral(VONDREL_HELP_CHM);

QString titleOf(const QByteArray& html) {
    static const QRegularExpression title(
        QStringLiteral("<title>(.*?)</title>"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch m = title.match(QString::fromUtf8(html));
    return m.hasMatch() ? m.captured(1).trimmed() : QString();
}

// The links of one entry: href and src attributes of a page, url() of a stylesheet.
QStringList linksIn(const QString& entry, const QByteArray& content) {
    static const QRegularExpression attribute(
        QStringLiteral(R"re(\b(?:href|src)\s*=\s*(?:"([^"]*)"|'([^']*)'))re"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression cssUrl(
        QStringLiteral(R"re(url\(\s*(?:"([^"]*)"|'([^']*)'|([^)'"\s]*))\s*\))re"),
        QRegularExpression::CaseInsensitiveOption);
    const QString text = QString::fromUtf8(content);
    const bool css = entry.endsWith(QStringLiteral(".css"), Qt::CaseInsensitive);
    QStringList links;
    auto it = (css ? cssUrl : attribute).globalMatch(text);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        for (int group = 1; group <= m.lastCapturedIndex(); ++group) {
            if (m.capturedStart(group) >= 0) {
                links << m.captured(group);
                break;
            }
        }
    }
    return links;
}

// The entry a link leads to, or nothing for a link that leaves the file (http:, mailto:) or
// stays on the page ("#top").
std::optional<QString> targetOf(const QString& entry, const QString& link) {
    const QUrl url(link);
    if (!url.isRelative() || url.path().isEmpty())
        return std::nullopt;
    return ChmBrowser::urlFor(entry).resolved(url).path(QUrl::FullyDecoded);
}

class BuiltHelpFile : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(chm.open(kBuiltChm)) << kBuiltChm.toStdString(); }
    ChmFile chm;
};

TEST_F(BuiltHelpFile, OpensAtTheStartPage) {
    EXPECT_EQ(chm.defaultTopic(), QStringLiteral("/index.html"));
    const std::optional<QByteArray> start = chm.read(chm.defaultTopic());
    ASSERT_TRUE(start);
    EXPECT_EQ(titleOf(*start), QStringLiteral("Vondrel Help"));
}

TEST_F(BuiltHelpFile, HoldsEveryPageAndItsPictures) {
    const QStringList entries = chm.entries();
    for (const char* name :
         {"/index.html", "/gamefolder.html", "/persons.html", "/jobs.html", "/relationships.html",
          "/family.html", "/maximize.html", "/saving.html", "/messages.html", "/style.css",
          "/images/logo.png", "/images/job_12.png"}) {
        EXPECT_TRUE(entries.contains(QString::fromLatin1(name))) << name;
    }
    // The compiler's bookkeeping is not listed as content.
    EXPECT_FALSE(entries.contains(QStringLiteral("/#SYSTEM")));
    EXPECT_FALSE(chm.contains(QStringLiteral("/no-such-page.html")));
    EXPECT_FALSE(chm.read(QStringLiteral("/no-such-page.html")));
}

TEST_F(BuiltHelpFile, LinkReaderFindsTheLinksOfAPage) {
    const QByteArray page =
        R"(<link rel="stylesheet" href="style.css"><a href='jobs.html#perf'>x</a>
<img SRC="images/logo.png"><a href="http://example.org/">y</a><a href="#top">z</a>)";
    const QStringList links = linksIn(QStringLiteral("/index.html"), page);
    EXPECT_EQ(links, (QStringList{"style.css", "jobs.html#perf", "images/logo.png",
                                  "http://example.org/", "#top"}));
    EXPECT_EQ(targetOf(QStringLiteral("/index.html"), links[1]), QStringLiteral("/jobs.html"));
    EXPECT_EQ(targetOf(QStringLiteral("/sub/page.html"), QStringLiteral("../images/a.png")),
              QStringLiteral("/images/a.png"));
    EXPECT_FALSE(targetOf(QStringLiteral("/index.html"), links[3]));
    EXPECT_FALSE(targetOf(QStringLiteral("/index.html"), links[4]));
    EXPECT_EQ(linksIn(QStringLiteral("/a.css"),
                      "h1 { background: url(\"images/b.png\") } "
                      "p { background: url(c.png) }"),
              (QStringList{"images/b.png", "c.png"}));
}

TEST_F(BuiltHelpFile, EveryLinkOfEveryPageLeadsIntoTheFile) {
    const QStringList entries = chm.entries();
    const QSet<QString> present(entries.begin(), entries.end());
    int pages = 0;
    int checked = 0;
    QSet<QString> reached;
    for (const QString& entry : entries) {
        const bool page = entry.endsWith(QStringLiteral(".html"), Qt::CaseInsensitive) ||
                          entry.endsWith(QStringLiteral(".htm"), Qt::CaseInsensitive);
        const bool css = entry.endsWith(QStringLiteral(".css"), Qt::CaseInsensitive);
        if (!page && !css)
            continue;
        pages += page ? 1 : 0;
        const std::optional<QByteArray> content = chm.read(entry);
        ASSERT_TRUE(content) << entry.toStdString();
        for (const QString& link : linksIn(entry, *content)) {
            const std::optional<QString> target = targetOf(entry, link);
            if (!target)
                continue;
            ++checked;
            reached.insert(*target);
            // Exact spelling: a viewer that tells case apart must find it as well.
            EXPECT_TRUE(present.contains(*target))
                << entry.toStdString() << " links to " << link.toStdString();
        }
    }
    EXPECT_EQ(pages, 9);
    EXPECT_GT(checked, 50);
    // Every page can be reached from another page, and the stylesheet and logo are used.
    for (const QString& entry : entries) {
        if (entry.endsWith(QStringLiteral(".html")) || entry == QStringLiteral("/style.css") ||
            entry == QStringLiteral("/images/logo.png")) {
            EXPECT_TRUE(reached.contains(entry)) << entry.toStdString() << " is never linked";
        }
    }
}

TEST(ChmFile, RefusesMissingAndDamagedFiles) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ChmFile chm;
    EXPECT_FALSE(chm.open(dir.filePath(QStringLiteral("absent.chm"))));
    EXPECT_FALSE(chm.isOpen());
    EXPECT_FALSE(chm.read(QStringLiteral("/index.html")));
    EXPECT_TRUE(chm.entries().isEmpty());

    QFile junk(dir.filePath(QStringLiteral("junk.chm")));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    QByteArray bytes;
    for (int i = 0; i < 8192; ++i)
        bytes.append(static_cast<char>((i * 7919 + 13) % 251));
    junk.write(bytes);
    junk.close();
    EXPECT_FALSE(chm.open(junk.fileName()));
}

// --- the window ----------------------------------------------------------------------------

// Presses and releases the left button in the middle of the first link to `href`.
bool clickLink(ChmBrowser* browser, const QString& href) {
    for (QTextBlock block = browser->document()->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.charFormat().anchorHref() != href || fragment.length() < 2)
                continue;
            QTextCursor cursor(browser->document());
            cursor.setPosition(fragment.position() + fragment.length() / 2);
            const QRect r = browser->cursorRect(cursor);
            const QPointF at(r.left(), r.center().y());
            const QPointF global = browser->viewport()->mapToGlobal(at);
            QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton,
                              Qt::NoModifier);
            QCoreApplication::sendEvent(browser->viewport(), &press);
            QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton,
                                Qt::NoButton, Qt::NoModifier);
            QCoreApplication::sendEvent(browser->viewport(), &release);
            return true;
        }
    }
    return false;
}

QColor firstHeadingColour(QTextDocument* document) {
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        if (block.blockFormat().headingLevel() == 1)
            return block.begin().fragment().charFormat().foreground().color();
    }
    return QColor();
}

TEST(HelpViewer, OpensAtTheStartPageAndFollowsLinks) {
    HelpViewer viewer;
    EXPECT_EQ(viewer.windowTitle(), QStringLiteral("Vondrel Help"));
    ASSERT_TRUE(viewer.openFile(kBuiltChm));
    viewer.resize(700, 520);
    viewer.show();
    viewer.showTopic();
    ChmBrowser* browser = viewer.browser();

    EXPECT_EQ(viewer.currentPage(), QStringLiteral("/index.html"));
    EXPECT_EQ(browser->documentTitle(), QStringLiteral("Vondrel Help"));
    EXPECT_FALSE(viewer.backButton()->isEnabled());
    EXPECT_FALSE(viewer.forwardButton()->isEnabled());
    EXPECT_TRUE(viewer.homeButton()->isEnabled());
    // The stylesheet came out of the file: headings in the program's navy.
    EXPECT_EQ(firstHeadingColour(browser->document()), QColor(7, 0, 128));

    int clicked = 0;
    QObject::connect(browser, &QTextBrowser::anchorClicked, [&clicked] { ++clicked; });
    ASSERT_TRUE(clickLink(browser, QStringLiteral("jobs.html")));
    EXPECT_EQ(clicked, 1);
    EXPECT_EQ(viewer.currentPage(), QStringLiteral("/jobs.html"));
    EXPECT_EQ(browser->documentTitle(), QStringLiteral("Jobs and performance"));
    EXPECT_TRUE(viewer.backButton()->isEnabled());

    ASSERT_TRUE(clickLink(browser, QStringLiteral("relationships.html")));
    EXPECT_EQ(viewer.currentPage(), QStringLiteral("/relationships.html"));

    viewer.backButton()->click();
    EXPECT_EQ(viewer.currentPage(), QStringLiteral("/jobs.html"));
    EXPECT_TRUE(viewer.forwardButton()->isEnabled());
    viewer.backButton()->click();
    EXPECT_EQ(viewer.currentPage(), QStringLiteral("/index.html"));
    EXPECT_FALSE(viewer.backButton()->isEnabled());
    viewer.forwardButton()->click();
    EXPECT_EQ(viewer.currentPage(), QStringLiteral("/jobs.html"));
    EXPECT_EQ(browser->documentTitle(), QStringLiteral("Jobs and performance"));

    viewer.homeButton()->click();
    EXPECT_EQ(viewer.currentPage(), QStringLiteral("/index.html"));
    EXPECT_EQ(browser->documentTitle(), QStringLiteral("Vondrel Help"));
}

TEST(HelpViewer, LoadsPicturesAndStylesFromTheFile) {
    HelpViewer viewer;
    ASSERT_TRUE(viewer.openFile(kBuiltChm));
    viewer.showTopic(QStringLiteral("jobs.html"));
    ChmBrowser* browser = viewer.browser();
    ASSERT_EQ(viewer.currentPage(), QStringLiteral("/jobs.html"));

    const QVariant logo = browser->loadResource(QTextDocument::ImageResource,
                                                QUrl(QStringLiteral("images/logo.png")));
    const QImage image = logo.value<QImage>();
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), QSize(95, 43));
    // The page's own pictures, through the document as the view draws them.
    const QImage icon =
        browser->document()
            ->resource(QTextDocument::ImageResource, QUrl(QStringLiteral("images/job_03.png")))
            .value<QImage>();
    EXPECT_EQ(icon.size(), QSize(33, 25));
    // The career icons' magenta background is shown see-through, as in the window.
    EXPECT_EQ(icon.pixelColor(0, 0).alpha(), 0);
    EXPECT_EQ(icon.pixelColor(16, 12).alpha(), 255);

    const QString css =
        browser->loadResource(QTextDocument::StyleSheetResource, QUrl(QStringLiteral("style.css")))
            .toString();
    EXPECT_TRUE(css.contains(QStringLiteral("#070080")));
    EXPECT_TRUE(
        browser
            ->loadResource(QTextDocument::ImageResource, QUrl(QStringLiteral("images/missing.png")))
            .isNull());
    // An address outside the file is not served.
    EXPECT_TRUE(browser
                    ->loadResource(QTextDocument::HtmlResource,
                                   QUrl(QStringLiteral("file:///etc/hostname")))
                    .isNull());
}

TEST(HelpViewer, UnknownTopicShowsTheStartPage) {
    HelpViewer viewer;
    ASSERT_TRUE(viewer.openFile(kBuiltChm));
    viewer.showTopic(QStringLiteral("nothing-here.html"));
    EXPECT_EQ(viewer.currentPage(), QStringLiteral("/index.html"));
    viewer.showTopic(QStringLiteral("/saving.html"));
    EXPECT_EQ(viewer.currentPage(), QStringLiteral("/saving.html"));
    EXPECT_TRUE(viewer.browser()->toPlainText().contains(QStringLiteral("Saved!")));
}

// --- the opener ----------------------------------------------------------------------------

TEST(ChmHelpOpener, LooksBesideTheProgramThenInTheDataFolder) {
    const QStringList folders = ChmHelpOpener::defaultFolders();
    ASSERT_EQ(folders.size(), 2);
    EXPECT_EQ(folders[0], QDir::cleanPath(QCoreApplication::applicationDirPath()));
    EXPECT_EQ(folders[1],
              QDir::cleanPath(QCoreApplication::applicationDirPath() + "/../share/vondrel"));
}

TEST(ChmHelpOpener, ShowsTheStartPageOfTheFirstFileFound) {
    QTemporaryDir first;
    QTemporaryDir second;
    ASSERT_TRUE(first.isValid() && second.isValid());
    ASSERT_TRUE(QFile::copy(kBuiltChm, second.filePath(QStringLiteral("VDL.chm"))));
    ScriptedMessageBoxes boxes;
    ChmHelpOpener opener(boxes, {first.path(), second.path()});

    opener.open("VDL.chm", "0");
    EXPECT_TRUE(boxes.shown.empty());
    ASSERT_NE(opener.viewer(), nullptr);
    EXPECT_TRUE(opener.viewer()->isVisible());
    EXPECT_EQ(opener.viewer()->file().fileName(), second.filePath(QStringLiteral("VDL.chm")));
    EXPECT_EQ(opener.viewer()->currentPage(), QStringLiteral("/index.html"));

    // A second click reuses the window.
    HelpViewer* window = opener.viewer();
    opener.viewer()->showTopic(QStringLiteral("family.html"));
    opener.open("VDL.chm", "0");
    EXPECT_EQ(opener.viewer(), window);
    EXPECT_EQ(opener.viewer()->currentPage(), QStringLiteral("/index.html"));
    EXPECT_TRUE(boxes.shown.empty());
}

TEST(ChmHelpOpener, OpensOverTheMainWindowAndEscapeClosesIt) {
    QTemporaryDir folder;
    ASSERT_TRUE(QFile::copy(kBuiltChm, folder.filePath(QStringLiteral("VDL.chm"))));
    ScriptedMessageBoxes boxes;
    ChmHelpOpener opener(boxes, {folder.path()});
    QWidget mainWindow;
    opener.setParent(&mainWindow);
    opener.open("VDL.chm", "0");
    ASSERT_NE(opener.viewer(), nullptr);
    EXPECT_EQ(opener.viewer()->parentWidget(), &mainWindow);
    EXPECT_TRUE(opener.viewer()->isWindow());
    QApplication::setActiveWindow(opener.viewer());
    QTest::keyClick(opener.viewer()->browser(), Qt::Key_Escape);
    EXPECT_FALSE(opener.viewer()->isVisible());
}

TEST(ChmHelpOpener, NamesTheMissingFileAndWhereItLooked) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ScriptedMessageBoxes boxes;
    ChmHelpOpener opener(boxes, {dir.path()});

    opener.open("VDL.chm", "0");
    ASSERT_EQ(boxes.shown.size(), 1u);
    const std::string& text = boxes.shown[0].text;
    EXPECT_NE(text.find("VDL.chm"), std::string::npos) << text;
    EXPECT_NE(text.find(QDir::toNativeSeparators(dir.path()).toStdString()), std::string::npos)
        << text;
    EXPECT_EQ(boxes.shown[0].buttons, MessageButtons::Ok);
    EXPECT_EQ(opener.viewer(), nullptr);
}

TEST(ChmHelpOpener, ReportsADamagedFileAndGoesOn) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("VDL.chm"));
    ScriptedMessageBoxes boxes;
    ChmHelpOpener opener(boxes, {dir.path()});

    // Junk bytes, then the first bytes of a real help file cut short.
    QFile real(kBuiltChm);
    ASSERT_TRUE(real.open(QIODevice::ReadOnly));
    const QByteArray head = real.read(120);
    const QByteArray contents[] = {QByteArray(4096, '\x5a'), head};
    for (const QByteArray& bytes : contents) {
        QFile::remove(path);
        QFile damaged(path);
        ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
        damaged.write(bytes);
        damaged.close();
        boxes.shown.clear();

        opener.open("VDL.chm", "0");
        ASSERT_EQ(boxes.shown.size(), 1u);
        EXPECT_NE(boxes.shown[0].text.find(QDir::toNativeSeparators(path).toStdString()),
                  std::string::npos)
            << boxes.shown[0].text;
        EXPECT_EQ(boxes.shown[0].icon, MessageIcon::Critical);
        EXPECT_TRUE(opener.viewer() == nullptr || !opener.viewer()->isVisible());
    }

    // Once the file is whole again the same opener shows it.
    QFile::remove(path);
    ASSERT_TRUE(QFile::copy(kBuiltChm, path));
    boxes.shown.clear();
    opener.open("VDL.chm", "0");
    EXPECT_TRUE(boxes.shown.empty());
    ASSERT_NE(opener.viewer(), nullptr);
    EXPECT_EQ(opener.viewer()->currentPage(), QStringLiteral("/index.html"));
}

}  // namespace
}  // namespace vondrel
