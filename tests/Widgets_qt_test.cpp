#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QPainter>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "support/RunningWindow.h"
#include "ui/Gauge.h"
#include "ui/ImageList.h"
#include "ui/ImagePicker.h"

namespace vondrel {
namespace {

const QColor kNavy(7, 0, 128), kBlue(0, 0, 255), kRed(220, 0, 0), kGreen(0, 160, 0);

QPixmap filled(QSize size, const QColor& colour) {
    QPixmap pixmap(size);
    pixmap.fill(colour);
    return pixmap;
}

QImage render(QWidget& w) {
    return w.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// The pixels of `image` inside `area` (all of it when empty) that are exactly `colour`.
int countPixels(const QImage& image, const QColor& colour, QRect area = {}) {
    if (area.isNull())
        area = image.rect();
    int found = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x)
            found += image.pixelColor(x, y).rgb() == colour.rgb() ? 1 : 0;
    }
    return found;
}

// ---------------------------------------------------------------------------------------------
// Gauge

// Each notification as "<kind><buttons>/<modifiers>@<x>,<y>" (P pressed, M moved, R released)
// or "C" for a click.
std::string reportsOf(Gauge& gauge, const std::string& script, bool enabled = true) {
    std::string got;
    const auto report = [&](char kind) {
        return [&got, kind](int b, int m, double x, double y) {
            got += (got.empty() ? "" : " ") + std::string(1, kind) + std::to_string(b) + "/" +
                   std::to_string(m) + "@" + QString::number(x).toStdString() + "," +
                   QString::number(y).toStdString();
        };
    };
    QObject context;
    QObject::connect(&gauge, &Gauge::mousePressed, &context, report('P'));
    QObject::connect(&gauge, &Gauge::mouseMoved, &context, report('M'));
    QObject::connect(&gauge, &Gauge::mouseReleased, &context, report('R'));
    QObject::connect(&gauge, &Gauge::clicked, &context, [&] { got += " C"; });
    gauge.setEnabled(enabled);
    testing::gesture(&gauge, script);
    if (!enabled) {  // even sent straight to it
        QTest::mousePress(&gauge, Qt::LeftButton, {}, QPoint(5, 5));
        QTest::mouseRelease(&gauge, Qt::LeftButton, {}, QPoint(5, 5));
    }
    return got;
}

TEST(Gauge, ReportsTheMouseWithButtonAndModifierBitsAndOutsideWhileHeld) {
    QWidget window;
    window.resize(400, 100);
    auto* gauge = new Gauge(&window);
    gauge->setGeometry(100, 30, 170, 27);
    gauge->setMaximum(200);
    gauge->setValue(40);
    window.show();
    const std::pair<const char*, const char*> cases[] = {
        {">20,10 L20,10 >30,12 l30,12", "M0/0@20,10 P1/0@20,10 M1/0@30,12 R1/0@30,12 C"},
        // Released away from the gauge: still one click per press.
        {">160,10 L160,10 >180,10 l180,10 >160,9 L160,9 >290,60 l290,60",
         "M0/0@160,10 P1/0@160,10 M1/0@180,10 R1/0@180,10 C M0/0@160,9 P1/0@160,9 "
         "M1/0@290,60 R1/0@290,60 C"},
        {">-50,10 L-50,10 >20,10 l20,10", ""},
        {">160,10 L160,10 >169,10 >250,40 l250,40",
         "M0/0@160,10 P1/0@160,10 M1/0@169,10 M1/0@250,40 R1/0@250,40 C"},
        {">5,10 L5,10 >-60,10 l-60,10", "M0/0@5,10 P1/0@5,10 M1/0@-60,10 R1/0@-60,10 C"},
        {">40,5 >250,5 >-20,5", "M0/0@40,5"},
        {">10,10 L10,10 >11,10 R11,10 >12,10 l12,10 >13,10 M13,10 >14,10 r14,10 m14,10",
         "M0/0@10,10 P1/0@10,10 M1/0@11,10 P3/0@11,10 M3/0@12,10 R1/0@12,10 C M2/0@13,10 "
         "P6/0@13,10 M6/0@14,10 R2/0@14,10 C R4/0@14,10 C"},
        {">11,11SC L11,11A l11,11S", "M0/3@11,11 P1/4@11,11 R1/1@11,11 C"},
        {">10,10 R10,10 r10,10", "M0/0@10,10 P2/0@10,10 R2/0@10,10 C"},
    };
    for (const auto& [script, expected] : cases) {
        EXPECT_EQ(reportsOf(*gauge, script), expected) << script;
        // The handlers set the value; the gauge itself never does.
        EXPECT_EQ(gauge->value(), 40);
    }
    EXPECT_EQ(reportsOf(*gauge, ">12,12 L12,12 >250,10 l10,10", false), "");
    EXPECT_EQ(reportsOf(*gauge, ">9,9 L9,9 l9,9"), "M0/0@9,9 P1/0@9,9 R1/0@9,9 C");
}

TEST(Gauge, AsksForItsCaptionOnEverySetValueAndBeforePaintingAndDrawsTheAnswer) {
    Gauge gauge;
    gauge.resize(170, 27);
    gauge.setMaximum(200);
    QFont font;
    font.setBold(true);
    font.setPixelSize(16);
    gauge.setCaptionFont(font);
    std::vector<std::pair<QString, int>> asked;
    std::optional<QString> reply;
    QObject::connect(&gauge, &Gauge::captionRequested, [&](QString& caption, int value) {
        asked.emplace_back(caption, value);
        if (reply)
            caption = *reply;
    });
    gauge.setValue(50);
    gauge.setValue(50);
    gauge.setValue(120);
    EXPECT_EQ(asked, (std::vector<std::pair<QString, int>>{{"50", 50}, {"50", 50}, {"120", 120}}));
    gauge.setCaptionVisible(false);
    asked.clear();
    gauge.setValue(7);
    EXPECT_EQ(asked, (std::vector<std::pair<QString, int>>{{"", 7}}));

    reply = QStringLiteral("Rel 75");
    gauge.setValue(100);
    EXPECT_EQ(gauge.captionText(), QStringLiteral("Rel 75"));
    asked.clear();
    reply = QString();
    const QImage without = render(gauge);
    EXPECT_FALSE(asked.empty());
    const QRect middle(40, 0, 90, 27);
    EXPECT_EQ(countPixels(without, Qt::white, middle), 0);
    reply = QStringLiteral("WWW");
    const QImage with = render(gauge);
    EXPECT_EQ(gauge.captionText(), QStringLiteral("WWW"));
    EXPECT_GT(countPixels(with, Qt::white, middle), 10);
    EXPECT_EQ(with.copy(0, 0, 10, 27), without.copy(0, 0, 10, 27));
    // White text on a white fill still shows, by its outline.
    gauge.setFillColor(Qt::white);
    gauge.setValue(200);
    reply = QStringLiteral("WWW");
    EXPECT_GT(170 * 27 - countPixels(render(gauge), Qt::white), 10);
}

TEST(Gauge, FillsTheValueShareKeepingValuesOutsideTheRangeButDrawingThemClamped) {
    Gauge gauge;
    gauge.resize(170, 27);
    gauge.setCaptionVisible(false);
    gauge.setMaximum(200);
    gauge.setBackColor(kNavy);
    gauge.setFillColor(kBlue);
    // From colours, then from pictures (the full one covering the value's share of the empty).
    for (bool pictures : {false, true}) {
        if (pictures)
            gauge.setPictures(filled({59, 25}, kNavy), filled({59, 25}, kBlue));
        for (const auto& [value, columns] : std::vector<std::pair<int, int>>{
                 {100, 85}, {200, 170}, {260, 170}, {0, 0}, {-30, 0}}) {
            gauge.setValue(value);
            EXPECT_EQ(gauge.value(), value);
            const QImage image = render(gauge);
            EXPECT_EQ(countPixels(image, kBlue), columns * 27) << value << " " << pictures;
            EXPECT_EQ(countPixels(image, kNavy), (170 - columns) * 27) << value << " " << pictures;
        }
        if (pictures)
            break;
        gauge.setValue(1);  // 0.85 of a pixel: a smooth fill blends it
        const int blended = render(gauge).pixelColor(0, 13).blue();
        EXPECT_TRUE(blended > 128 && blended < 255) << blended;
        gauge.setBackPicture(filled({17, 3}, kGreen));
        gauge.setValue(100);
        EXPECT_EQ(countPixels(render(gauge), kGreen), 85 * 27);
    }
}

// ---------------------------------------------------------------------------------------------
// ImageList and ImagePicker

std::string nameOf(const QPixmap& picture, QPoint at) {
    if (picture.isNull())
        return "-";
    const QColor c = picture.toImage().pixelColor(at);
    return c.alpha() == 0 ? "clear"
           : c == kRed    ? "red"
           : c == kGreen  ? "green"
           : c == kBlue   ? "blue"
                          : c.name().toStdString();
}

// Positions 0 to count() + 1 as "key:colour" of each picture's middle.
std::string describe(const ImageList& list) {
    std::string s;
    for (int i = 0; i <= list.count() + 1; ++i)
        s += list.key(i).toStdString() + ":" + nameOf(list.picture(i), {16, 12}) + " ";
    return s;
}

TEST(ImageList, CountsFromOneKeepsKeysUniqueAndFitsEachPictureToTheList) {
    const QColor mask(255, 0, 255);
    QPixmap masked = filled({33, 25}, mask);
    QPainter(&masked).fillRect(10, 6, 14, 14, kGreen);
    ImageList list(QSize(33, 25), mask);
    EXPECT_EQ(list.add(filled({10, 10}, kRed), "man"), 1);
    EXPECT_EQ(list.add(masked, "woman"), 2);
    EXPECT_EQ(list.add(filled({66, 50}, kBlue), "man"), 3);
    EXPECT_EQ(list.add(QPixmap()), 4);
    EXPECT_EQ(describe(list), ":- man:red woman:green :blue :clear :- ");
    EXPECT_EQ(nameOf(list.picture(2), {0, 0}), "clear");  // the mask colour
    for (int i = 1; i <= 4; ++i)
        EXPECT_EQ(list.picture(i).size(), QSize(33, 25)) << i;
    EXPECT_EQ(list.indexOf("woman"), 2);
    EXPECT_EQ(list.indexOf("man") + list.indexOf("Man") + list.indexOf(""), 1);
    ImageList opaque(QSize(33, 25), QColor());
    opaque.add(masked);
    EXPECT_EQ(opaque.picture(1).toImage().pixelColor(0, 0), mask);

    list.clear();
    EXPECT_EQ(describe(list), ":- :- ");
    EXPECT_EQ(list.add(filled({33, 25}, kBlue), "woman"), 1);
    EXPECT_EQ(list.indexOf("woman"), 1);
}

class ImagePickerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        list_.add(filled({25, 25}, kRed), "red");
        list_.add(filled({25, 25}, kGreen), "green");
        list_.add(filled({25, 25}, kBlue), "blue");
        picker_.setImageList(&list_);
        QObject::connect(&picker_, &ImagePicker::userChose, [this] { ++choices_; });
    }
    // Each entry as "text(colour)", the chosen one marked '*', then the chosen text and how
    // often userChose was raised.
    std::string shown() const {
        std::string s;
        for (int i = 1; i <= picker_.count(); ++i) {
            s += (picker_.isSelected(i) ? "*" : "") + picker_.entryText(i).toStdString() + "(" +
                 nameOf(picker_.itemIcon(i - 1).pixmap(25, 25), {12, 12}) + ") ";
        }
        return s + "| " + picker_.text().toStdString() + " " + std::to_string(choices_);
    }

    ImageList list_{QSize(25, 25), QColor(255, 0, 255)};
    ImagePicker picker_;
    int choices_ = 0;
};

TEST_F(ImagePickerTest, EntriesKeepTheirOrderAndShowTheirPicturesByNumber) {
    EXPECT_EQ(picker_.addEntry("Ann", 3), 1);
    EXPECT_EQ(picker_.addEntry("Bob", 1), 2);
    EXPECT_EQ(picker_.addEntry("Cid", 0), 3);
    EXPECT_EQ(picker_.addEntry("Dee", 9), 4);
    EXPECT_EQ(shown(), "Ann(blue) Bob(red) Cid(-) Dee(-) |  0");
    EXPECT_EQ(picker_.entryText(0) + picker_.entryText(5), QString());
    EXPECT_FALSE(picker_.isEditable());
    EXPECT_EQ(picker_.iconSize(), QSize(25, 25));

    ImagePicker later;
    later.addEntry("Ann", 2);
    EXPECT_TRUE(later.itemIcon(0).isNull());
    later.setImageList(&list_);
    EXPECT_EQ(nameOf(later.itemIcon(0).pixmap(25, 25), {12, 12}), "green");
}

TEST_F(ImagePickerTest, ChoosingFromCodeShowsTheEntryWithoutUserChose) {
    picker_.addEntry("Ann", 1, 3);
    picker_.addEntry("Bob", 2);
    picker_.addEntry("Cid", 3);
    picker_.resize(160, 33);
    picker_.select(1);
    EXPECT_EQ(picker_.shownPicture(), 3);
    QImage closed = render(picker_);
    EXPECT_GT(countPixels(closed, kBlue), 100);  // the entry's selected picture
    EXPECT_EQ(countPixels(closed, kRed), 0);

    for (int i : {2, 0, 4})
        picker_.select(i);
    EXPECT_EQ(shown(), "Ann(red) *Bob(green) Cid(blue) | Bob 0");
    EXPECT_EQ(picker_.currentText(), QStringLiteral("Bob"));
    EXPECT_EQ(countPixels(render(picker_), kGreen), 25 * 25);
    picker_.setText("Cid");
    EXPECT_EQ(shown(), "Ann(red) Bob(green) *Cid(blue) | Cid 0");
    picker_.setText("nobody");
    EXPECT_EQ(shown(), "Ann(red) Bob(green) Cid(blue) |  0");
    picker_.setText("Cid");
    picker_.setText("");
    EXPECT_EQ(shown(), "Ann(red) Bob(green) Cid(blue) |  0");
    EXPECT_TRUE(picker_.currentText().isEmpty());
    closed = render(picker_);
    EXPECT_EQ(countPixels(closed, kGreen) + countPixels(closed, kBlue), 0);

    picker_.clearEntries();
    EXPECT_EQ(picker_.addEntry("Eve", 1), 1);
    EXPECT_EQ(shown(), "Eve(red) |  0");
}

TEST_F(ImagePickerTest, ChoicesByKeyboardOrInTheOpenListRaiseUserChoseOnce) {
    picker_.addEntry("Ann", 1);
    picker_.addEntry("Bob", 2);
    picker_.addEntry("Cid", 3);
    picker_.show();
    QTest::keyClick(&picker_, Qt::Key_Down);
    EXPECT_EQ(shown(), "*Ann(red) Bob(green) Cid(blue) | Ann 1");
    QTest::keyClick(&picker_, Qt::Key_Down);
    EXPECT_EQ(shown(), "Ann(red) *Bob(green) Cid(blue) | Bob 2");

    picker_.showPopup();
    picker_.view()->setCurrentIndex(picker_.model()->index(2, 0));
    EXPECT_EQ(choices_, 2);
    QTest::keyClick(picker_.view(), Qt::Key_Return);
    EXPECT_EQ(shown(), "Ann(red) Bob(green) *Cid(blue) | Cid 3");
    EXPECT_FALSE(picker_.view()->isVisible());

    picker_.setEnabled(false);
    QTest::keyClick(&picker_, Qt::Key_Up);
    EXPECT_EQ(shown(), "Ann(red) Bob(green) *Cid(blue) | Cid 3");
}

}  // namespace
}  // namespace vondrel
