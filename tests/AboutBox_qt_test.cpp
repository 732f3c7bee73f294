#include <gtest/gtest.h>

#include <QApplication>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QImage>
#include <QPointer>
#include <QRegularExpression>
#include <QTest>
#include <functional>

#include "support/Scripted.h"
#include "ui/AboutBox.h"
#include "ui/MainWindow.h"

namespace vondrel {
namespace {

constexpr int kViewportHeight = 171;  // 2565 twips
const QColor kNavy(7, 0, 128);

void deleteClosedWindows() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

class AboutBoxTest : public ::testing::Test {
  protected:
    void SetUp() override { window_.show(); }
    void TearDown() override { deleteClosedWindows(); }

    // Opens the About box the way the About button does; the one box now open.
    AboutBox* open() {
        window_.aboutClicked();
        deleteClosedWindows();
        AboutBox* shown = nullptr;
        int count = 0;
        for (AboutBox* box : window_.findChildren<AboutBox*>()) {
            count += box->isVisible();
            shown = box->isVisible() ? box : shown;
        }
        EXPECT_EQ(count, 1);
        return shown;
    }

    ScriptedMessageBoxes messages_;
    MainWindow window_{messages_, {}};
};

TEST(AboutCredits, FollowTheirLineStructureWithTestersInOrder) {
    const QStringList lines = aboutCredits().split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 35);
    const std::vector<std::pair<int, QString>> fixed = {
        {0, "Vondrel V0.40"},
        {1, ""},
        {2, "Programmed by:"},
        {4, ""},
        {5, ""},
        {6, "Many thanks for:"},
        {8, ""},
        {10, ""},
        {12, ""},
        {14, ""},
        {15, ""},
        {16, "To all BETA testers:"},
        {31, ""},
        {32, "and All others 28 BETA testers!"},
        {33, ""},
        {34, ""},
    };
    for (const auto& [at, text] : fixed)
        EXPECT_EQ(lines[at], text) << "line " << at;
    const QRegularExpression credit(QStringLiteral(R"(^\S.* \([^()]+\)$)"));
    for (int at : {7, 9, 11, 13})
        EXPECT_TRUE(credit.match(lines[at]).hasMatch()) << lines[at].toStdString();

    const QStringList testers = lines.mid(17, 14);
    const QRegularExpression nickname(QStringLiteral("\"[^\"]+\" "));
    int nicknames = 0;
    for (int t = 0; t < testers.size(); ++t) {
        EXPECT_FALSE(testers[t].trimmed().isEmpty());
        nicknames += nickname.match(testers[t]).hasMatch();
        if (t > 0) {
            QString a = testers[t - 1], b = testers[t];
            EXPECT_LT(QString::compare(a.remove(nickname), b.remove(nickname), Qt::CaseInsensitive),
                      0)
                << a.toStdString() << " / " << b.toStdString();
        }
    }
    EXPECT_EQ(nicknames, 1);
}

TEST_F(AboutBoxTest, OpensOverAHiddenMainWindowAtItsDesignPlaces) {
    AboutBox* box = open();
    ASSERT_NE(box, nullptr);
    EXPECT_FALSE(window_.isVisible());
    EXPECT_FALSE(window_.isEnabled());
    EXPECT_EQ(box->windowTitle(), "About Vondrel");
    EXPECT_EQ(box->parentWidget(), &window_);
    EXPECT_EQ(box->size(), QSize(382, 282));
    EXPECT_EQ(box->maximumSize(), QSize(382, 282));
    EXPECT_FALSE(box->windowFlags() &
                 (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    EXPECT_EQ(box->lblTitle->geometry(), QRect(61, 16, 259, 32));
    EXPECT_EQ(box->picIcon->geometry(), QRect(16, 16, 32, 32));
    EXPECT_EQ(box->Picture1->geometry(), QRect(46, 64, 292, 171));
    EXPECT_EQ(box->cmdOK->geometry(), QRect(283, 254, 84, 23));
    EXPECT_TRUE(box->cmdOK->isDefault());
    EXPECT_EQ(box->Timer1->interval(), 100);
    const QFontMetrics metrics(box->Label1->font());
    EXPECT_EQ(
        box->Label1->height(),
        metrics
            .boundingRect(QRect(0, 0, 285, 100000), Qt::AlignHCenter | Qt::AlignTop, box->credits())
            .height());

    // Navy around a black viewport, and the etched line: grey over white.
    const QImage image = box->grab().toImage();
    EXPECT_EQ(image.pixelColor(5, 100), kNavy);
    EXPECT_EQ(image.pixelColor(50, 70), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(6, 242), QColor(128, 128, 128));
    EXPECT_EQ(image.pixelColor(376, 244), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(200, 245), kNavy);
}

TEST_F(AboutBoxTest, CreditsRiseTwoPixelsPerTickAndComeBackTitleFirst) {
    AboutBox* box = open();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->Label1->y(), kViewportHeight);
    ASSERT_TRUE(QMetaObject::invokeMethod(box->Timer1, "timeout"));
    EXPECT_EQ(box->Label1->y(), kViewportHeight - 2);
    const int height = box->Label1->height();
    int expected = kViewportHeight - 2;
    while (expected + height > 0) {
        box->tick();
        expected -= 2;
        if (expected + height <= 0)
            expected = kViewportHeight;  // the last line has left: from below again
        ASSERT_EQ(box->Label1->y(), expected);
        if (expected == kViewportHeight)
            break;
    }
    for (int n = 0; n < 10; ++n)
        box->tick();
    // Only the title has come in, at the bottom, and nothing shows outside the viewport.
    const QImage view = box->Picture1->grab().toImage();
    for (int y = 0; y < kViewportHeight - 20; ++y) {
        for (int x = 0; x < view.width(); ++x)
            ASSERT_EQ(view.pixelColor(x, y), QColor(Qt::black)) << x << "," << y;
    }
    for (int n = 0; n < 100; ++n)
        box->tick();
    const QImage whole = box->grab().toImage();
    for (int x = 46; x < 338; ++x) {
        ASSERT_EQ(whole.pixelColor(x, 62), kNavy) << x;
        ASSERT_EQ(whole.pixelColor(x, 236), kNavy) << x;
    }
}

TEST_F(AboutBoxTest, EveryWayOfClosingBringsTheMainWindowBack) {
    const std::vector<std::pair<const char*, std::function<void(AboutBox*)>>> ways = {
        {"OK", [](AboutBox* b) { b->cmdOK->click(); }},
        {"Enter", [](AboutBox* b) { QTest::keyClick(b->cmdOK, Qt::Key_Return); }},
        {"keypad Enter", [](AboutBox* b) { QTest::keyClick(b->cmdOK, Qt::Key_Enter); }},
        {"Esc", [](AboutBox* b) { QTest::keyClick(b->cmdOK, Qt::Key_Escape); }},
        {"close button", [](AboutBox* b) { b->close(); }},
        {"system close",
         [](AboutBox* b) {
             QCloseEvent event;
             QApplication::sendEvent(b, &event);
         }},
    };
    for (const auto& [name, close] : ways) {
        SCOPED_TRACE(name);
        QPointer<AboutBox> box = open();
        ASSERT_FALSE(box.isNull());
        close(box);
        EXPECT_FALSE(box->isVisible());
        EXPECT_FALSE(box->Timer1->isActive());
        EXPECT_TRUE(window_.isVisible());
        EXPECT_TRUE(window_.isEnabled());
    }
}

TEST_F(AboutBoxTest, OpeningAgainStartsFromTheBottomWithOneBox) {
    QPointer<AboutBox> first = open();
    ASSERT_FALSE(first.isNull());
    for (int n = 0; n < 30; ++n)
        first->tick();
    AboutBox* second = open();  // while the first is still open
    ASSERT_NE(second, nullptr);
    EXPECT_TRUE(first.isNull());
    EXPECT_EQ(second->Label1->y(), kViewportHeight);
    second->cmdOK->click();
    deleteClosedWindows();
    AboutBox* third = open();
    ASSERT_NE(third, nullptr);
    EXPECT_EQ(third->Label1->y(), kViewportHeight);
    EXPECT_EQ(window_.findChildren<AboutBox*>().size(), 1);
}

}  // namespace
}  // namespace vondrel
