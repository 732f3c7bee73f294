#include <gtest/gtest.h>

#include <QTest>

#include "support/Scripted.h"
#include "ui/AboutBox.h"
#include "ui/MainWindow.h"

namespace vondrel {
namespace {

// The credits as they scroll past, the testers in alphabetical order.
const char* const kCredits =
    "Vondrel V0.40\n\nProgrammed by:\nThe Vondrel developers\n\n\nMany thanks for:\n"
    "The Vondrel developers (skin pictures)\n\nContributor One (character file notes)\n\n"
    "Contributor Two (neighbourhood file notes)\n\nContributor Three (help file)\n\n\n"
    "To all BETA testers:\nTester \"Ace\" Eight\nTester Eleven\nTester Five\nTester Four\n"
    "Tester Fourteen\nTester Nine\nTester One\nTester Seven\nTester Six\nTester Ten\n"
    "Tester Thirteen\nTester Three\nTester Twelve\nTester Two\n\n"
    "and All others 28 BETA testers!\n\n";

class AboutBoxTest : public ::testing::Test {
  protected:
    void SetUp() override { window_.show(); }

    // Opens the About box as the About button does: the one box shown, over the main window
    // taken out of reach, its credits starting below the viewport.
    AboutBox* open() {
        window_.aboutClicked();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        const QList<AboutBox*> boxes = window_.findChildren<AboutBox*>();
        EXPECT_EQ(boxes.size(), 1);
        EXPECT_TRUE(boxes.value(0)->isVisible());
        EXPECT_FALSE(window_.isVisible() || window_.isEnabled());
        EXPECT_EQ(boxes.value(0)->Label1->y(), 171);
        return boxes.value(0);
    }

    ScriptedMessageBoxes messages_;
    MainWindow window_{messages_, {}};
};

TEST_F(AboutBoxTest, ShowsTheTitleCreditsAndOkAtTheirPlaces) {
    AboutBox* box = open();
    EXPECT_EQ(box->windowTitle(), "About Vondrel");
    EXPECT_EQ(box->lblTitle->text(), "Vondrel V0.40");
    EXPECT_EQ(box->Label1->text(), kCredits);
    EXPECT_EQ(box->cmdOK->text(), "OK");
    EXPECT_EQ(box->size(), QSize(382, 282));
    const std::pair<QWidget*, QRect> places[] = {{box->lblTitle, QRect(61, 16, 259, 32)},
                                                 {box->picIcon, QRect(16, 16, 32, 32)},
                                                 {box->Picture1, QRect(46, 64, 292, 171)},
                                                 {box->cmdOK, QRect(283, 254, 84, 23)}};
    for (const auto& [widget, place] : places)
        EXPECT_EQ(widget->geometry(), place) << widget->objectName().toStdString();
    // Navy around a black viewport, and the etched line: grey over white.
    const QImage image = box->grab().toImage();
    EXPECT_EQ(image.pixelColor(5, 100), QColor(7, 0, 128));
    EXPECT_EQ(image.pixelColor(50, 70), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(6, 242), QColor(128, 128, 128));
    EXPECT_EQ(image.pixelColor(376, 244), QColor(Qt::white));
}

// Every 100 ms the credits rise two pixels; once the last line has left, they come in again
// from below. OK, Enter, Esc and closing the window all bring the main window back, and
// the next opening starts from the bottom again.
TEST_F(AboutBoxTest, CreditsScrollAndEveryCloseBringsTheMainWindowBack) {
    const std::pair<const char*, void (*)(AboutBox*)> ways[] = {
        {"OK", [](AboutBox* b) { b->cmdOK->click(); }},
        {"Enter", [](AboutBox* b) { QTest::keyClick(b->cmdOK, Qt::Key_Return); }},
        {"Esc", [](AboutBox* b) { QTest::keyClick(b->cmdOK, Qt::Key_Escape); }},
        {"close", [](AboutBox* b) { b->close(); }},
    };
    open()->tick();  // opening again while one is open starts afresh
    for (const auto& [name, close] : ways) {
        SCOPED_TRACE(name);
        AboutBox* box = open();
        EXPECT_EQ(box->Timer1->interval(), 100);
        ASSERT_TRUE(QMetaObject::invokeMethod(box->Timer1, "timeout"));
        EXPECT_EQ(box->Label1->y(), 169);
        // The 35 lines pass, then the title comes in again from the bottom.
        const int lines = 35 * QFontMetrics(box->Label1->font()).lineSpacing();
        int ticks = 1;
        for (; box->Label1->y() != 171 && ticks < 1000; ++ticks)
            box->tick();
        EXPECT_EQ(ticks, (171 + lines + 1) / 2);
        close(box);
        EXPECT_FALSE(box->isVisible() || box->Timer1->isActive());
        EXPECT_TRUE(window_.isVisible() && window_.isEnabled());
    }
}

}  // namespace
}  // namespace vondrel
