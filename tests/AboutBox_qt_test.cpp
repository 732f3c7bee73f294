#include <gtest/gtest.h>

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFontMetrics>
#include <QImage>
#include <QKeyEvent>
#include <QPointer>
#include <QRegularExpression>
#include <vector>

#include "support/Scripted.h"
#include "ui/AboutBox.h"
#include "ui/MainWindow.h"

namespace vondrel {
namespace {

constexpr int kViewportHeight = 171;  // 2565 twips

void deleteClosedWindows() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

class AboutBoxTest : public ::testing::Test {
  protected:
    void SetUp() override {
        window_.show();
        ASSERT_TRUE(window_.isVisible());
    }
    void TearDown() override { deleteClosedWindows(); }

    // Opens the About box the way the About button does and returns the box now open.
    AboutBox* open() {
        window_.aboutClicked();
        deleteClosedWindows();
        std::vector<AboutBox*> open;
        for (AboutBox* box : window_.findChildren<AboutBox*>()) {
            if (box->isVisible())
                open.push_back(box);
        }
        EXPECT_EQ(open.size(), 1u);
        return open.empty() ? nullptr : open.front();
    }

    void pressKey(AboutBox* box, int key) {
        QWidget* target = box->focusWidget() ? box->focusWidget() : box;
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(target, &press);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
        if (box->isVisible())
            QApplication::sendEvent(target, &release);
    }

    // The main window is back in the user's hands and the box is gone for good.
    void expectClosedAndRestored(QPointer<AboutBox> box) {
        ASSERT_FALSE(box.isNull());
        EXPECT_FALSE(box->isVisible());
        EXPECT_FALSE(box->Timer1->isActive());
        EXPECT_TRUE(window_.isVisible());
        EXPECT_TRUE(window_.isEnabled());
        deleteClosedWindows();
        EXPECT_TRUE(box.isNull());
    }

    ScriptedMessageBoxes messages_;
    MainWindow window_{messages_, {}};
};

// Pixel colour of a widget's picture.
QColor pixel(const QImage& image, int x, int y) {
    return image.pixelColor(x, y);
}

// ---------------------------------------------------------------------------------------------
// The credits.

TEST(AboutCredits, FollowTheirLineStructure) {
    const QStringList lines = aboutCredits().split(QLatin1Char('\n'));
    ASSERT_EQ(lines, aboutCreditLines());
    ASSERT_EQ(lines.size(), 35);
    int i = 0;
    EXPECT_EQ(lines[i++], "Vondrel V0.40");
    EXPECT_EQ(lines[i++], "");

    EXPECT_EQ(lines[i++], "Programmed by:");
    EXPECT_FALSE(lines[i++].trimmed().isEmpty()) << "the author";
    EXPECT_EQ(lines[i++], "");
    EXPECT_EQ(lines[i++], "");

    EXPECT_EQ(lines[i++], "Many thanks for:");
    const QRegularExpression credit(QStringLiteral(R"(^\S.* \([^()]+\)$)"));
    for (int c = 0; c < 4; ++c) {
        EXPECT_TRUE(credit.match(lines[i]).hasMatch()) << lines[i].toStdString();
        ++i;
        EXPECT_EQ(lines[i++], "") << "after credit " << c;
    }
    EXPECT_EQ(lines[i++], "");

    EXPECT_EQ(lines[i++], "To all BETA testers:");
    for (int t = 0; t < 14; ++t) {
        EXPECT_FALSE(lines[i].trimmed().isEmpty()) << "tester " << t;
        EXPECT_NE(lines[i], "and All others 28 BETA testers!");
        ++i;
    }
    EXPECT_EQ(lines[i++], "");

    EXPECT_EQ(lines[i++], "and All others 28 BETA testers!");
    EXPECT_EQ(lines[i++], "");
    EXPECT_EQ(lines[i++], "");
    EXPECT_EQ(i, lines.size());
}

TEST(AboutCredits, TestersAreAlphabeticalAndOneCarriesAQuotedNickname) {
    const QStringList lines = aboutCreditLines();
    const int first = lines.indexOf("To all BETA testers:") + 1;
    ASSERT_GT(first, 0);
    const QStringList testers = lines.mid(first, 14);

    int nicknames = 0;
    const QRegularExpression nickname(QStringLiteral("\"[^\"]+\" "));
    QStringList plainNames;
    for (const QString& name : testers) {
        EXPECT_LE(name.count(QLatin1Char('"')), 2) << name.toStdString();
        if (nickname.match(name).hasMatch())
            ++nicknames;
        QString plain = name;
        plainNames << plain.remove(nickname);
    }
    EXPECT_EQ(nicknames, 1);
    // In order both as written and by the names without the nickname.
    for (int t = 1; t < testers.size(); ++t) {
        EXPECT_LT(QString::compare(testers[t - 1], testers[t], Qt::CaseInsensitive), 0)
            << testers[t - 1].toStdString() << " / " << testers[t].toStdString();
        EXPECT_LT(QString::compare(plainNames[t - 1], plainNames[t], Qt::CaseInsensitive), 0)
            << plainNames[t - 1].toStdString() << " / " << plainNames[t].toStdString();
    }
    QStringList unique = testers;
    EXPECT_EQ(unique.removeDuplicates(), 0);
}

// ---------------------------------------------------------------------------------------------
// Opening.

TEST_F(AboutBoxTest, OpeningHidesAndDisablesTheMainWindowAndLeavesTheBoxUsable) {
    AboutBox* box = open();
    ASSERT_NE(box, nullptr);
    EXPECT_FALSE(window_.isVisible());
    EXPECT_FALSE(window_.isEnabled());
    EXPECT_TRUE(box->isVisible());
    EXPECT_TRUE(box->isEnabled());
    EXPECT_TRUE(box->cmdOK->isEnabled());
    EXPECT_FALSE(box->isModal());
    EXPECT_EQ(box->objectName(), "frmAbout");
    EXPECT_EQ(box->windowTitle(), "About Vondrel");
    EXPECT_EQ(box->credits(), aboutCredits());
    EXPECT_TRUE(box->Timer1->isActive());
    EXPECT_EQ(box->Timer1->interval(), 100);
}

TEST_F(AboutBoxTest, WindowHasItsDesignedPlacesAndNoMinimizeOrMaximize) {
    AboutBox* box = open();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->size(), QSize(382, 282));
    EXPECT_EQ(box->minimumSize(), QSize(382, 282));
    EXPECT_EQ(box->maximumSize(), QSize(382, 282));
    const Qt::WindowFlags flags = box->windowFlags();
    EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
    EXPECT_TRUE(box->isWindow());
    EXPECT_EQ(box->parentWidget(), &window_);

    EXPECT_EQ(box->lblTitle->geometry(), QRect(61, 16, 259, 32));
    EXPECT_EQ(box->lblTitle->text(), "Vondrel V0.40");
    EXPECT_TRUE(box->lblTitle->font().bold());
    EXPECT_DOUBLE_EQ(box->lblTitle->font().pointSizeF(), 9.75);
    EXPECT_EQ(box->picIcon->geometry(), QRect(16, 16, 32, 32));
    ASSERT_FALSE(box->picIcon->pixmap().isNull());
    EXPECT_EQ(box->picIcon->pixmap().size(), QSize(32, 32));
    EXPECT_EQ(box->Picture1->geometry(), QRect(46, 64, 292, 171));
    EXPECT_EQ(box->viewportHeight(), kViewportHeight);
    EXPECT_EQ(box->Label1->parentWidget(), box->Picture1);
    EXPECT_EQ(box->Label1->x(), 2);
    EXPECT_EQ(box->Label1->width(), 285);
    EXPECT_TRUE(box->Label1->font().bold());
    EXPECT_DOUBLE_EQ(box->Label1->font().pointSizeF(), 9.0);
    EXPECT_TRUE(box->Label1->alignment() & Qt::AlignHCenter);
    EXPECT_TRUE(box->Label1->alignment() & Qt::AlignTop);
    EXPECT_EQ(box->cmdOK->geometry(), QRect(283, 254, 84, 23));
    EXPECT_EQ(box->cmdOK->text(), "OK");
    EXPECT_TRUE(box->cmdOK->isDefault());
}

TEST_F(AboutBoxTest, ColoursAndTheEtchedSeparator) {
    AboutBox* box = open();
    ASSERT_NE(box, nullptr);
    const QImage image = box->grab().toImage();
    ASSERT_EQ(image.size(), QSize(382, 282));
    const QColor navy(7, 0, 128);
    EXPECT_EQ(pixel(image, 5, 100), navy);
    EXPECT_EQ(pixel(image, 200, 270), navy);
    // The viewport is black while the credits are still below it.
    EXPECT_EQ(pixel(image, 50, 70), QColor(Qt::black));
    EXPECT_EQ(pixel(image, 330, 230), QColor(Qt::black));
    // Grey over two white rows, from x = 6 and 7 to x = 376.
    EXPECT_EQ(pixel(image, 6, 242), QColor(128, 128, 128));
    EXPECT_EQ(pixel(image, 376, 242), QColor(128, 128, 128));
    EXPECT_EQ(pixel(image, 7, 243), QColor(Qt::white));
    EXPECT_EQ(pixel(image, 376, 244), QColor(Qt::white));
    EXPECT_EQ(pixel(image, 200, 245), navy);
    EXPECT_EQ(pixel(image, 200, 241), navy);
    EXPECT_EQ(pixel(image, 378, 243), navy);
    // The title is drawn in white.
    bool white = false;
    for (int y = 16; y < 48 && !white; ++y) {
        for (int x = 61; x < 320 && !white; ++x)
            white = pixel(image, x, y) == QColor(Qt::white);
    }
    EXPECT_TRUE(white);
}

// ---------------------------------------------------------------------------------------------
// Scrolling.

TEST_F(AboutBoxTest, CreditsLabelIsAsHighAsTheMeasuredText) {
    AboutBox* box = open();
    ASSERT_NE(box, nullptr);
    const QFontMetrics metrics(box->Label1->font());
    const QRect measured = metrics.boundingRect(QRect(0, 0, box->Label1->width(), 100000),
                                                Qt::AlignHCenter | Qt::AlignTop, box->credits());
    EXPECT_EQ(box->Label1->height(), measured.height());
    // Every one of the 35 lines, the trailing empty ones too.
    EXPECT_GE(box->Label1->height(), 34 * metrics.lineSpacing() + metrics.height());
    EXPECT_LE(box->Label1->height(), 35 * metrics.lineSpacing() + metrics.height());
}

TEST_F(AboutBoxTest, CreditsStartJustBelowTheViewportAndRiseTwoPixelsPerTick) {
    AboutBox* box = open();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->Label1->y(), kViewportHeight);
    for (int n = 1; n <= 60; ++n) {
        box->tick();
        ASSERT_EQ(box->Label1->y(), kViewportHeight - 2 * n) << "after " << n << " ticks";
    }
    EXPECT_EQ(box->Label1->x(), 2);
}

TEST_F(AboutBoxTest, TheTimerDrivesTheScrolling) {
    AboutBox* box = open();
    ASSERT_NE(box, nullptr);
    ASSERT_TRUE(QMetaObject::invokeMethod(box->Timer1, "timeout"));
    ASSERT_TRUE(QMetaObject::invokeMethod(box->Timer1, "timeout"));
    EXPECT_EQ(box->Label1->y(), kViewportHeight - 4);
}

TEST_F(AboutBoxTest, AfterTheLastLineLeavesTheTextComesBackFromBelow) {
    AboutBox* box = open();
    ASSERT_NE(box, nullptr);
    const int height = box->Label1->height();
    ASSERT_GT(height, kViewportHeight);
    int expected = kViewportHeight;
    int wraps = 0;
    for (int n = 1; n <= 2 * (height + kViewportHeight); ++n) {
        const int before = box->Label1->y();
        box->tick();
        expected -= 2;
        if (expected + height <= 0) {
            expected = kViewportHeight;
            ++wraps;
            // The last line was still (partly) inside before this tick.
            EXPECT_GT(before + height, 0);
            EXPECT_LE(before + height, 2);
        }
        ASSERT_EQ(box->Label1->y(), expected) << "tick " << n;
        ASSERT_GT(box->Label1->y() + height, 0);
    }
    EXPECT_GE(wraps, 1);
}

TEST_F(AboutBoxTest, TheTitleIsTheFirstLineToComeBackIn) {
    AboutBox* box = open();
    ASSERT_NE(box, nullptr);
    const int height = box->Label1->height();
    while (box->Label1->y() + height > 2)
        box->tick();
    // The last line is leaving the top edge.
    box->tick();
    ASSERT_EQ(box->Label1->y(), kViewportHeight);
    for (int n = 0; n < 10; ++n)
        box->tick();
    ASSERT_EQ(box->Label1->y(), kViewportHeight - 20);
    const QImage view = box->Picture1->grab().toImage();
    int litRows = 0;
    for (int y = 0; y < view.height(); ++y) {
        bool lit = false;
        for (int x = 0; x < view.width(); ++x)
            lit = lit || view.pixelColor(x, y) != QColor(Qt::black);
        if (lit) {
            ASSERT_GE(y, kViewportHeight - 20) << "text above the entering title";
            ++litRows;
        }
    }
    EXPECT_GT(litRows, 4);
    EXPECT_TRUE(box->credits().startsWith("Vondrel V0.40\n"));
}

TEST_F(AboutBoxTest, ViewportClipsTheCredits) {
    AboutBox* box = open();
    ASSERT_NE(box, nullptr);
    for (int n = 0; n < 120; ++n)
        box->tick();
    ASSERT_LT(box->Label1->y(), 0);
    const QImage image = box->grab().toImage();
    // Nothing of the credits above or below the viewport (46, 64, 292, 171).
    for (int x = 46; x < 338; ++x) {
        ASSERT_EQ(pixel(image, x, 62), QColor(7, 0, 128)) << x;
        ASSERT_EQ(pixel(image, x, 236), QColor(7, 0, 128)) << x;
    }
}

// ---------------------------------------------------------------------------------------------
// Closing.

TEST_F(AboutBoxTest, OkRestoresTheMainWindow) {
    QPointer<AboutBox> box = open();
    ASSERT_FALSE(box.isNull());
    box->cmdOK->click();
    expectClosedAndRestored(box);
}

TEST_F(AboutBoxTest, EnterActsLikeOk) {
    QPointer<AboutBox> box = open();
    ASSERT_FALSE(box.isNull());
    pressKey(box, Qt::Key_Return);
    expectClosedAndRestored(box);
}

TEST_F(AboutBoxTest, KeypadEnterActsLikeOk) {
    QPointer<AboutBox> box = open();
    ASSERT_FALSE(box.isNull());
    pressKey(box, Qt::Key_Enter);
    expectClosedAndRestored(box);
}

TEST_F(AboutBoxTest, EscActsLikeOk) {
    QPointer<AboutBox> box = open();
    ASSERT_FALSE(box.isNull());
    pressKey(box, Qt::Key_Escape);
    expectClosedAndRestored(box);
}

TEST_F(AboutBoxTest, TheWindowsCloseButtonRestoresTheMainWindow) {
    QPointer<AboutBox> box = open();
    ASSERT_FALSE(box.isNull());
    EXPECT_TRUE(box->close());
    expectClosedAndRestored(box);
}

TEST_F(AboutBoxTest, ACloseEventFromTheSystemRestoresTheMainWindow) {
    QPointer<AboutBox> box = open();
    ASSERT_FALSE(box.isNull());
    QCloseEvent event;
    QApplication::sendEvent(box, &event);
    EXPECT_TRUE(event.isAccepted());
    EXPECT_TRUE(window_.isVisible());
    EXPECT_TRUE(window_.isEnabled());
    EXPECT_FALSE(box->Timer1->isActive());
}

TEST_F(AboutBoxTest, ASecondOpeningStartsFromTheBottomAgain) {
    QPointer<AboutBox> first = open();
    ASSERT_FALSE(first.isNull());
    for (int n = 0; n < 30; ++n)
        first->tick();
    ASSERT_EQ(first->Label1->y(), kViewportHeight - 60);
    first->cmdOK->click();
    deleteClosedWindows();
    ASSERT_TRUE(first.isNull());

    AboutBox* second = open();
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->Label1->y(), kViewportHeight);
    EXPECT_EQ(second->credits(), aboutCredits());
    EXPECT_TRUE(second->Timer1->isActive());
    EXPECT_FALSE(window_.isVisible());
    EXPECT_FALSE(window_.isEnabled());
    EXPECT_EQ(window_.findChildren<AboutBox*>().size(), 1);
}

TEST_F(AboutBoxTest, OpeningAgainWhileOpenLeavesOneBoxFromTheBottom) {
    QPointer<AboutBox> first = open();
    ASSERT_FALSE(first.isNull());
    first->tick();
    AboutBox* second = open();
    ASSERT_NE(second, nullptr);
    EXPECT_TRUE(first.isNull());
    EXPECT_EQ(second->Label1->y(), kViewportHeight);
    EXPECT_FALSE(window_.isVisible());
    EXPECT_FALSE(window_.isEnabled());
    second->cmdOK->click();
    EXPECT_TRUE(window_.isVisible());
    EXPECT_TRUE(window_.isEnabled());
}

TEST_F(AboutBoxTest, PictureWithCreditsInView) {
    AboutBox* box = open();
    ASSERT_NE(box, nullptr);
    for (int n = 0; n < 40; ++n)
        box->tick();
    const QImage image = box->grab().toImage();
    const QString path = QDir::temp().filePath(QStringLiteral("vondrel-about.png"));
    ASSERT_TRUE(image.save(path, "PNG")) << path.toStdString();
    // The lower part of the viewport shows white text.
    int white = 0;
    for (int y = 64 + 91; y < 64 + 171; ++y) {
        for (int x = 46; x < 338; ++x)
            white += pixel(image, x, y) == QColor(Qt::white);
    }
    EXPECT_GT(white, 50);

    // Further on: the thanks and the testers.
    for (int n = 0; n < 110; ++n)
        box->tick();
    ASSERT_TRUE(box->grab().save(QDir::temp().filePath(QStringLiteral("vondrel-about-testers.png")),
                                 "PNG"));
}

}  // namespace
}  // namespace vondrel
