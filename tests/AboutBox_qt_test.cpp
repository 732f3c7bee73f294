#include <gtest/gtest.h>

#include <QTest>

#include "support/Scripted.h"
#include "ui/AboutBox.h"
#include "ui/MainWindow.h"

namespace vondrel {
namespace {

// The credits as they scroll past, the testers in alphabetical order.
const char* const kCredits = R"(Vondrel V0.40

Programmed by:
The Vondrel developers


Many thanks for:
The Vondrel developers (skin pictures)

Contributor One (character file notes)

Contributor Two (neighbourhood file notes)

Contributor Three (help file)


To all BETA testers:
Tester "Ace" Eight
Tester Eleven
Tester Five
Tester Four
Tester Fourteen
Tester Nine
Tester One
Tester Seven
Tester Six
Tester Ten
Tester Thirteen
Tester Three
Tester Twelve
Tester Two

and All others 28 BETA testers!

)";
const QColor kNavy(7, 0, 128);

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
    EXPECT_TRUE(box->cmdOK->isDefault());
    EXPECT_EQ(box->size(), QSize(382, 282));
    const std::pair<QWidget*, QRect> places[] = {{box->lblTitle, QRect(61, 16, 259, 32)},
                                                 {box->picIcon, QRect(16, 16, 32, 32)},
                                                 {box->Picture1, QRect(46, 64, 292, 171)},
                                                 {box->cmdOK, QRect(283, 254, 84, 23)}};
    for (const auto& [widget, place] : places)
        EXPECT_EQ(widget->geometry(), place) << widget->objectName().toStdString();
    // Navy around a black viewport, and the etched line: grey over white.
    const QImage image = box->grab().toImage();
    EXPECT_EQ(image.pixelColor(5, 100), kNavy);
    EXPECT_EQ(image.pixelColor(50, 70), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(6, 242), QColor(128, 128, 128));
    EXPECT_EQ(image.pixelColor(376, 244), QColor(Qt::white));
}

// Every 100 ms the credits rise two pixels; once the last line has left, the title comes in
// again from below. OK, Enter, Esc and closing the window all bring the main window back, and
// the next opening starts from the bottom again.
TEST_F(AboutBoxTest, CreditsScrollAndEveryCloseBringsTheMainWindowBack) {
    const std::pair<const char*, void (*)(AboutBox*)> ways[] = {
        {"OK", [](AboutBox* b) { b->cmdOK->click(); }},
        {"Enter", [](AboutBox* b) { QTest::keyClick(b->cmdOK, Qt::Key_Return); }},
        {"Esc", [](AboutBox* b) { QTest::keyClick(b->cmdOK, Qt::Key_Escape); }},
        {"close", [](AboutBox* b) { b->close(); }},
    };
    open();  // opening again while one is open replaces it
    for (const auto& [name, close] : ways) {
        SCOPED_TRACE(name);
        AboutBox* box = open();
        EXPECT_EQ(box->Timer1->interval(), 100);
        ASSERT_TRUE(QMetaObject::invokeMethod(box->Timer1, "timeout"));
        EXPECT_EQ(box->Label1->y(), 169);
        // 35 lines of text pass before the title is back at the bottom.
        const int lines = 35 * QFontMetrics(box->Label1->font()).lineSpacing();
        int ticks = 1;
        for (; box->Label1->y() != 171 && ticks < 1000; ++ticks)
            box->tick();
        EXPECT_EQ(ticks, (171 + lines + 1) / 2);
        for (int n = 0; n < 10; ++n)
            box->tick();
        const QImage view = box->Picture1->grab().toImage();
        for (int y = 0; y < 171 - 20; ++y) {
            for (int x = 0; x < view.width(); ++x)
                ASSERT_EQ(view.pixelColor(x, y), QColor(Qt::black)) << x << "," << y;
        }
        close(box);
        EXPECT_FALSE(box->isVisible() || box->Timer1->isActive());
        EXPECT_TRUE(window_.isVisible() && window_.isEnabled());
    }
}

}  // namespace
}  // namespace vondrel
