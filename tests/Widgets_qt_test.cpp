#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QWindow>
#include <optional>
#include <vector>

#include "ui/Gauge.h"
#include "ui/ImageList.h"
#include "ui/ImagePicker.h"

namespace vondrel {
namespace {

QPixmap filled(QSize size, const QColor& colour) {
    QPixmap pixmap(size);
    pixmap.fill(colour);
    return pixmap;
}

QColor pixelAt(const QImage& image, int x, int y) {
    return image.pixelColor(x, y);
}

// Counts the pixels of `image` inside `area` that are exactly `colour`.
int countPixels(const QImage& image, const QColor& colour, QRect area = {}) {
    if (area.isNull())
        area = image.rect();
    int found = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (image.pixelColor(x, y).rgb() == colour.rgb())
                ++found;
        }
    }
    return found;
}

// ---------------------------------------------------------------------------------------------
// Gauge: mouse notifications. Events go to the top-level window, as the window system delivers
// them, so that Qt picks the receiving widget (mouse tracking, the implicit grab while a button
// is held, disabled widgets) exactly as it does in the program.

struct MouseReport {
    enum Kind { Pressed, Moved, Released, Clicked } kind;
    int buttons = 0;
    int modifiers = 0;
    double x = 0.0;
    double y = 0.0;
};

class GaugeMouseTest : public ::testing::Test {
  protected:
    static constexpr QPoint kGaugeAt{100, 30};

    void SetUp() override {
        window_.resize(400, 100);
        gauge_->setGeometry(QRect(kGaugeAt, QSize(170, 27)));
        gauge_->setMaximum(200);
        gauge_->setValue(40);
        window_.show();
        ASSERT_NE(window_.windowHandle(), nullptr);

        QObject::connect(gauge_, &Gauge::mousePressed, [this](int b, int m, double x, double y) {
            reports_.push_back({MouseReport::Pressed, b, m, x, y});
        });
        QObject::connect(gauge_, &Gauge::mouseMoved, [this](int b, int m, double x, double y) {
            reports_.push_back({MouseReport::Moved, b, m, x, y});
        });
        QObject::connect(gauge_, &Gauge::mouseReleased, [this](int b, int m, double x, double y) {
            reports_.push_back({MouseReport::Released, b, m, x, y});
        });
        QObject::connect(gauge_, &Gauge::clicked,
                         [this] { reports_.push_back({MouseReport::Clicked}); });
    }

    // `at` is relative to the gauge's top-left corner and may lie outside it.
    void send(QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held,
              Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        const QPointF inWindow = at + kGaugeAt;
        QMouseEvent event(type, inWindow, inWindow, window_.mapToGlobal(inWindow), button, held,
                          modifiers);
        QCoreApplication::sendEvent(window_.windowHandle(), &event);
    }
    void press(QPoint at, Qt::MouseButton button, Qt::MouseButtons held,
               Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        send(QEvent::MouseButtonPress, at, button, held, modifiers);
    }
    void move(QPoint at, Qt::MouseButtons held, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        send(QEvent::MouseMove, at, Qt::NoButton, held, modifiers);
    }
    void release(QPoint at, Qt::MouseButton button, Qt::MouseButtons stillHeld,
                 Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        send(QEvent::MouseButtonRelease, at, button, stillHeld, modifiers);
    }

    int countOf(MouseReport::Kind kind) const {
        int found = 0;
        for (const MouseReport& report : reports_)
            found += report.kind == kind ? 1 : 0;
        return found;
    }
    std::vector<MouseReport> movesOnly() const {
        std::vector<MouseReport> moves;
        for (const MouseReport& report : reports_) {
            if (report.kind == MouseReport::Moved)
                moves.push_back(report);
        }
        return moves;
    }

    QWidget window_;
    Gauge* gauge_ = new Gauge(&window_);
    std::vector<MouseReport> reports_;
};

TEST_F(GaugeMouseTest, PressAndReleaseOnTheGaugeReportBothThenAClick) {
    press({20, 10}, Qt::LeftButton, Qt::LeftButton);
    release({30, 12}, Qt::LeftButton, Qt::NoButton);

    ASSERT_EQ(reports_.size(), 3u);
    EXPECT_EQ(reports_[0].kind, MouseReport::Pressed);
    EXPECT_EQ(reports_[0].buttons, 1);
    EXPECT_EQ(reports_[0].modifiers, 0);
    EXPECT_DOUBLE_EQ(reports_[0].x, 20.0);
    EXPECT_DOUBLE_EQ(reports_[0].y, 10.0);
    EXPECT_EQ(reports_[1].kind, MouseReport::Released);
    EXPECT_EQ(reports_[1].buttons, 1);
    EXPECT_DOUBLE_EQ(reports_[1].x, 30.0);
    EXPECT_DOUBLE_EQ(reports_[1].y, 12.0);
    EXPECT_EQ(reports_[2].kind, MouseReport::Clicked);
}

TEST_F(GaugeMouseTest, PressOnTheGaugeReleasedAwayFromItStillClicks) {
    press({160, 10}, Qt::LeftButton, Qt::LeftButton);
    move({180, 10}, Qt::LeftButton);
    release({180, 10}, Qt::LeftButton, Qt::NoButton);

    EXPECT_EQ(countOf(MouseReport::Released), 1);
    EXPECT_EQ(countOf(MouseReport::Clicked), 1);
    ASSERT_FALSE(reports_.empty());
    EXPECT_EQ(reports_.back().kind, MouseReport::Clicked);

    // One click per press, however far away the release.
    reports_.clear();
    press({160, 10}, Qt::LeftButton, Qt::LeftButton);
    release({900, 300}, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(countOf(MouseReport::Clicked), 1);
}

TEST_F(GaugeMouseTest, PressStartedElsewhereAndReleasedOnTheGaugeIsNoClick) {
    press({-50, 10}, Qt::LeftButton, Qt::LeftButton);
    release({20, 10}, Qt::LeftButton, Qt::NoButton);

    EXPECT_EQ(countOf(MouseReport::Pressed), 0);
    EXPECT_EQ(countOf(MouseReport::Clicked), 0);
}

TEST_F(GaugeMouseTest, DragLeavingToTheRightKeepsReportingPastTheWidth) {
    press({160, 10}, Qt::LeftButton, Qt::LeftButton);
    move({169, 10}, Qt::LeftButton);
    move({250, 40}, Qt::LeftButton);  // beyond the right edge and below the gauge
    release({250, 40}, Qt::LeftButton, Qt::NoButton);

    const std::vector<MouseReport> moves = movesOnly();
    ASSERT_EQ(moves.size(), 2u);
    EXPECT_DOUBLE_EQ(moves[1].x, 250.0);
    EXPECT_DOUBLE_EQ(moves[1].y, 40.0);
    EXPECT_GT(moves[1].x, gauge_->width());
    EXPECT_EQ(moves[1].buttons, 1);
    // The handlers set the value; the gauge itself never does.
    EXPECT_EQ(gauge_->value(), 40);
}

TEST_F(GaugeMouseTest, DragLeavingToTheLeftReportsNegativeX) {
    press({5, 10}, Qt::LeftButton, Qt::LeftButton);
    move({-60, 10}, Qt::LeftButton);

    const std::vector<MouseReport> moves = movesOnly();
    ASSERT_EQ(moves.size(), 1u);
    EXPECT_DOUBLE_EQ(moves[0].x, -60.0);
    EXPECT_EQ(gauge_->value(), 40);
}

TEST_F(GaugeMouseTest, PointerMovesAreReportedOverTheGaugeOnlyWhileNoButtonIsHeld) {
    move({40, 5}, Qt::NoButton);
    move({250, 5}, Qt::NoButton);  // over the window, not the gauge
    move({-20, 5}, Qt::NoButton);

    const std::vector<MouseReport> moves = movesOnly();
    ASSERT_EQ(moves.size(), 1u);
    EXPECT_EQ(moves[0].buttons, 0);
    EXPECT_DOUBLE_EQ(moves[0].x, 40.0);
}

TEST_F(GaugeMouseTest, MovesReportTheHeldButtonsAsABitSet) {
    press({10, 10}, Qt::LeftButton, Qt::LeftButton);
    move({11, 10}, Qt::LeftButton);
    press({11, 10}, Qt::RightButton, Qt::LeftButton | Qt::RightButton);
    move({12, 10}, Qt::LeftButton | Qt::RightButton);
    release({12, 10}, Qt::LeftButton, Qt::RightButton);
    move({13, 10}, Qt::RightButton);
    press({13, 10}, Qt::MiddleButton, Qt::RightButton | Qt::MiddleButton);
    move({14, 10}, Qt::RightButton | Qt::MiddleButton);

    const std::vector<MouseReport> moves = movesOnly();
    ASSERT_EQ(moves.size(), 4u);
    EXPECT_EQ(moves[0].buttons, 1);
    EXPECT_EQ(moves[1].buttons, 3);
    EXPECT_EQ(moves[2].buttons, 2);
    EXPECT_EQ(moves[3].buttons, 6);
}

TEST_F(GaugeMouseTest, PressReportsAllHeldButtonsAndReleaseTheOneThatWentUp) {
    press({10, 10}, Qt::LeftButton, Qt::LeftButton);
    press({10, 10}, Qt::RightButton, Qt::LeftButton | Qt::RightButton);
    release({10, 10}, Qt::RightButton, Qt::LeftButton);
    release({10, 10}, Qt::LeftButton, Qt::NoButton);

    std::vector<int> pressed;
    std::vector<int> released;
    for (const MouseReport& report : reports_) {
        if (report.kind == MouseReport::Pressed)
            pressed.push_back(report.buttons);
        if (report.kind == MouseReport::Released)
            released.push_back(report.buttons);
    }
    EXPECT_EQ(pressed, (std::vector<int>{1, 3}));
    EXPECT_EQ(released, (std::vector<int>{2, 1}));
}

TEST_F(GaugeMouseTest, ModifierKeysAreReportedAsABitSet) {
    move({10, 10}, Qt::NoButton, Qt::ShiftModifier | Qt::ControlModifier);
    press({10, 10}, Qt::LeftButton, Qt::LeftButton, Qt::AltModifier);
    release({10, 10}, Qt::LeftButton, Qt::NoButton, Qt::ShiftModifier);

    ASSERT_EQ(reports_.size(), 4u);
    EXPECT_EQ(reports_[0].modifiers, 3);
    EXPECT_EQ(reports_[1].modifiers, 4);
    EXPECT_EQ(reports_[2].modifiers, 1);
}

TEST_F(GaugeMouseTest, RightButtonClickIsAClickToo) {
    press({10, 10}, Qt::RightButton, Qt::RightButton);
    release({10, 10}, Qt::RightButton, Qt::NoButton);

    EXPECT_EQ(countOf(MouseReport::Clicked), 1);
}

TEST_F(GaugeMouseTest, DisabledGaugeRaisesNoMouseNotification) {
    gauge_->setEnabled(false);

    move({10, 10}, Qt::NoButton);
    press({10, 10}, Qt::LeftButton, Qt::LeftButton);
    move({250, 10}, Qt::LeftButton);
    release({10, 10}, Qt::LeftButton, Qt::NoButton);
    // Even sent straight to the gauge.
    QMouseEvent direct(QEvent::MouseButtonPress, QPointF(5, 5), gauge_->mapToGlobal(QPointF(5, 5)),
                       Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(gauge_, &direct);

    EXPECT_TRUE(reports_.empty());

    gauge_->setEnabled(true);
    press({10, 10}, Qt::LeftButton, Qt::LeftButton);
    release({10, 10}, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(countOf(MouseReport::Clicked), 1);
}

TEST(GaugePointer, ShapeNineIsTheHorizontalResizeArrowAndZeroTheDefault) {
    Gauge gauge;
    EXPECT_EQ(gauge.pointerShape(), 0);

    gauge.setPointerShape(9);
    EXPECT_EQ(gauge.pointerShape(), 9);
    EXPECT_TRUE(gauge.testAttribute(Qt::WA_SetCursor));
    EXPECT_EQ(gauge.cursor().shape(), Qt::SizeHorCursor);

    gauge.setPointerShape(0);
    EXPECT_EQ(gauge.pointerShape(), 0);
    EXPECT_EQ(gauge.cursor().shape(), Qt::ArrowCursor);
}

// ---------------------------------------------------------------------------------------------
// Gauge: value, caption and drawing.

QImage render(Gauge& gauge) {
    return gauge.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

struct CaptionRequest {
    QString offered;
    int value;
};

class GaugeCaptionTest : public ::testing::Test {
  protected:
    void SetUp() override {
        gauge_.resize(170, 27);
        gauge_.setMaximum(200);
        gauge_.setBackColor(QColor(7, 0, 128));
        gauge_.setFillColor(QColor(0, 0, 255));
        QFont font;
        font.setBold(true);
        font.setPixelSize(16);
        gauge_.setCaptionFont(font);
        QObject::connect(&gauge_, &Gauge::captionRequested, [this](QString& caption, int value) {
            requests_.push_back({caption, value});
            if (replyWith_)
                caption = *replyWith_;
        });
    }

    Gauge gauge_;
    std::vector<CaptionRequest> requests_;
    std::optional<QString> replyWith_;
};

TEST_F(GaugeCaptionTest, EverySetValueAsksForTheCaptionAtOnceEvenWhenTheValueIsUnchanged) {
    gauge_.setValue(50);
    ASSERT_EQ(requests_.size(), 1u);
    gauge_.setValue(50);
    ASSERT_EQ(requests_.size(), 2u);
    gauge_.setValue(120);
    ASSERT_EQ(requests_.size(), 3u);

    EXPECT_EQ(requests_[0].value, 50);
    EXPECT_EQ(requests_[1].value, 50);
    EXPECT_EQ(requests_[2].value, 120);
    EXPECT_EQ(requests_[2].offered, QStringLiteral("120"));
}

TEST_F(GaugeCaptionTest, OfferedCaptionIsEmptyWhenTheCaptionIsHidden) {
    gauge_.setCaptionVisible(false);
    requests_.clear();
    gauge_.setValue(7);

    ASSERT_EQ(requests_.size(), 1u);
    EXPECT_TRUE(requests_[0].offered.isEmpty());
    EXPECT_TRUE(gauge_.captionText().isEmpty());
}

TEST_F(GaugeCaptionTest, TheHandlersTextIsKeptAndAskedForAgainOnPaint) {
    replyWith_ = QStringLiteral("Rel 75");
    gauge_.setValue(150);
    EXPECT_EQ(gauge_.captionText(), QStringLiteral("Rel 75"));

    requests_.clear();
    replyWith_ = QStringLiteral("Rel 80");
    render(gauge_);
    EXPECT_FALSE(requests_.empty());
    EXPECT_EQ(gauge_.captionText(), QStringLiteral("Rel 80"));
}

TEST_F(GaugeCaptionTest, TheHandlersTextIsWhatGetsDrawn) {
    gauge_.setValue(100);
    const QRect middle(40, 0, 90, 27);

    replyWith_ = QString();
    const QImage without = render(gauge_);
    EXPECT_EQ(countPixels(without, Qt::white, middle), 0);

    replyWith_ = QStringLiteral("WWW");
    const QImage with = render(gauge_);
    EXPECT_GT(countPixels(with, Qt::white, middle), 10);
    // Nothing is drawn near the ends, outside the centred text.
    EXPECT_EQ(with.copy(0, 0, 10, 27), without.copy(0, 0, 10, 27));
    EXPECT_EQ(with.copy(160, 0, 10, 27), without.copy(160, 0, 10, 27));

    replyWith_ = QStringLiteral("III");
    const QImage other = render(gauge_);
    EXPECT_NE(other, with);
}

TEST_F(GaugeCaptionTest, CaptionStaysReadableOnAWhiteFill) {
    gauge_.setFillColor(Qt::white);
    gauge_.setValue(200);
    replyWith_ = QStringLiteral("WWW");

    const QImage image = render(gauge_);
    // The outline is what shows the white text on white.
    const int notWhite = 170 * 27 - countPixels(image, Qt::white);
    EXPECT_GT(notWhite, 10);
}

TEST(GaugeDrawing, ColoursFillTheValueShareOfTheWidthOverTheBack) {
    Gauge gauge;
    gauge.resize(170, 27);
    gauge.setCaptionVisible(false);
    gauge.setMaximum(200);
    gauge.setBackColor(QColor(7, 0, 128));
    gauge.setFillColor(QColor(0, 0, 255));

    gauge.setValue(100);  // 85 px
    QImage image = render(gauge);
    EXPECT_EQ(pixelAt(image, 0, 13), QColor(0, 0, 255));
    EXPECT_EQ(pixelAt(image, 84, 13), QColor(0, 0, 255));
    EXPECT_EQ(pixelAt(image, 85, 13), QColor(7, 0, 128));
    EXPECT_EQ(pixelAt(image, 169, 26), QColor(7, 0, 128));

    // Kept as given but drawn clamped.
    gauge.setValue(260);
    EXPECT_EQ(gauge.value(), 260);
    image = render(gauge);
    EXPECT_EQ(countPixels(image, QColor(0, 0, 255)), 170 * 27);

    gauge.setValue(-30);
    EXPECT_EQ(gauge.value(), -30);
    image = render(gauge);
    EXPECT_EQ(countPixels(image, QColor(7, 0, 128)), 170 * 27);
}

TEST(GaugeDrawing, FillIsSmoothWithinAPixel) {
    Gauge gauge;
    gauge.resize(170, 27);
    gauge.setCaptionVisible(false);
    gauge.setMaximum(200);
    gauge.setBackColor(QColor(7, 0, 128));
    gauge.setFillColor(QColor(0, 0, 255));

    gauge.setValue(1);  // 0.85 px
    const QColor blended = pixelAt(render(gauge), 0, 13);
    EXPECT_GT(blended.blue(), 128);
    EXPECT_LT(blended.blue(), 255);
}

TEST(GaugeDrawing, BackPictureLiesUnderTheFill) {
    Gauge gauge;
    gauge.resize(170, 27);
    gauge.setCaptionVisible(false);
    gauge.setMaximum(200);
    gauge.setBackPicture(filled({17, 3}, QColor(0, 128, 0)));
    gauge.setFillColor(Qt::white);
    gauge.setValue(100);

    const QImage image = render(gauge);
    EXPECT_EQ(pixelAt(image, 10, 13), QColor(Qt::white));
    EXPECT_EQ(pixelAt(image, 160, 13), QColor(0, 128, 0));
}

TEST(GaugeDrawing, FullPictureCoversTheValueShareOfTheEmptyOne) {
    // An attribute bar: 61 x 27 with 59 x 25 pictures, maximum 10, no caption.
    Gauge gauge;
    gauge.resize(61, 27);
    gauge.setCaptionVisible(false);
    gauge.setMaximum(10);
    const QColor emptyColour(200, 0, 0);
    const QColor fullColour(0, 200, 0);
    gauge.setPictures(filled({59, 25}, emptyColour), filled({59, 25}, fullColour));

    gauge.setValue(5);
    QImage image = render(gauge);
    EXPECT_EQ(pixelAt(image, 2, 13), fullColour);
    EXPECT_EQ(pixelAt(image, 29, 0), fullColour);
    EXPECT_EQ(pixelAt(image, 32, 26), emptyColour);
    EXPECT_EQ(pixelAt(image, 60, 26), emptyColour);

    gauge.setValue(0);
    EXPECT_EQ(countPixels(render(gauge), emptyColour), 61 * 27);
    gauge.setValue(10);
    EXPECT_EQ(countPixels(render(gauge), fullColour), 61 * 27);
    gauge.setValue(14);
    EXPECT_EQ(countPixels(render(gauge), fullColour), 61 * 27);
}

// ---------------------------------------------------------------------------------------------
// ImageList

TEST(ImageList, PositionsCountFromOne) {
    ImageList list(QSize(25, 25), QColor());
    EXPECT_EQ(list.count(), 0);
    EXPECT_EQ(list.add(filled({25, 25}, Qt::red)), 1);
    EXPECT_EQ(list.add(filled({25, 25}, Qt::green)), 2);
    EXPECT_EQ(list.add(filled({25, 25}, Qt::blue)), 3);
    EXPECT_EQ(list.count(), 3);

    EXPECT_EQ(list.picture(1).toImage().pixelColor(12, 12), QColor(Qt::red));
    EXPECT_EQ(list.picture(3).toImage().pixelColor(12, 12), QColor(Qt::blue));
    EXPECT_TRUE(list.picture(0).isNull());
    EXPECT_TRUE(list.picture(4).isNull());
    EXPECT_TRUE(list.picture(-1).isNull());
}

TEST(ImageList, KeysAreUniqueButTheSecondPictureStillTakesItsPosition) {
    ImageList list(QSize(25, 25), QColor());
    EXPECT_EQ(list.add(filled({25, 25}, Qt::red), "man"), 1);
    EXPECT_EQ(list.add(filled({25, 25}, Qt::green), "woman"), 2);
    EXPECT_EQ(list.add(filled({25, 25}, Qt::blue), "man"), 3);
    EXPECT_EQ(list.add(filled({25, 25}, Qt::yellow)), 4);

    EXPECT_EQ(list.count(), 4);
    EXPECT_EQ(list.key(1), QStringLiteral("man"));
    EXPECT_EQ(list.key(2), QStringLiteral("woman"));
    EXPECT_TRUE(list.key(3).isEmpty());
    EXPECT_TRUE(list.key(4).isEmpty());
    EXPECT_TRUE(list.key(0).isEmpty());
    EXPECT_TRUE(list.key(5).isEmpty());
    EXPECT_EQ(list.indexOf("man"), 1);
    EXPECT_EQ(list.indexOf("woman"), 2);
    EXPECT_EQ(list.indexOf("Man"), 0);
    EXPECT_EQ(list.indexOf("child"), 0);
    EXPECT_EQ(list.indexOf(""), 0);
    EXPECT_EQ(list.picture(3).toImage().pixelColor(0, 0), QColor(Qt::blue));
}

TEST(ImageList, PicturesOfAnotherSizeAreScaledToTheListsSize) {
    ImageList list(QSize(33, 25), QColor());
    list.add(filled({10, 10}, Qt::red));
    list.add(filled({66, 50}, Qt::green));
    list.add(QPixmap());

    EXPECT_EQ(list.picture(1).size(), QSize(33, 25));
    EXPECT_EQ(list.picture(2).size(), QSize(33, 25));
    EXPECT_EQ(list.picture(1).toImage().pixelColor(16, 12), QColor(Qt::red));
    // A null picture still takes a position, as a transparent one.
    ASSERT_EQ(list.count(), 3);
    EXPECT_EQ(list.picture(3).size(), QSize(33, 25));
    EXPECT_EQ(list.picture(3).toImage().pixelColor(5, 5).alpha(), 0);
}

TEST(ImageList, PixelsOfTheMaskColourBecomeTransparent) {
    const QColor mask(255, 0, 255);
    ImageList list(QSize(25, 25), mask);
    QPixmap picture = filled({25, 25}, mask);
    {
        QPainter painter(&picture);
        painter.fillRect(5, 5, 10, 10, QColor(0, 128, 0));
    }
    list.add(picture);

    const QImage stored = list.picture(1).toImage();
    EXPECT_EQ(stored.pixelColor(0, 0).alpha(), 0);
    EXPECT_EQ(stored.pixelColor(24, 24).alpha(), 0);
    EXPECT_EQ(stored.pixelColor(10, 10), QColor(0, 128, 0));

    // Without a mask colour the same picture stays opaque.
    ImageList opaque(QSize(25, 25), QColor());
    opaque.add(picture);
    EXPECT_EQ(opaque.picture(1).toImage().pixelColor(0, 0), mask);
}

TEST(ImageList, ClearEmptiesTheListAndFreesTheKeys) {
    ImageList list(QSize(25, 25), QColor());
    list.add(filled({25, 25}, Qt::red), "man");
    list.add(filled({25, 25}, Qt::green), "woman");
    list.clear();

    EXPECT_EQ(list.count(), 0);
    EXPECT_EQ(list.indexOf("man"), 0);
    EXPECT_TRUE(list.picture(1).isNull());
    EXPECT_EQ(list.add(filled({25, 25}, Qt::blue), "woman"), 1);
    EXPECT_EQ(list.indexOf("woman"), 1);
}

// ---------------------------------------------------------------------------------------------
// ImagePicker

class ImagePickerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        list_.add(filled({25, 25}, kRed), "red");
        list_.add(filled({25, 25}, kGreen), "green");
        list_.add(filled({25, 25}, kBlue), "blue");
        picker_.setImageList(&list_);
        QObject::connect(&picker_, &ImagePicker::userChose, [this] { ++choices_; });
    }

    void addThree() {
        picker_.addEntry("Ann", 1);
        picker_.addEntry("Bob", 2);
        picker_.addEntry("Cid", 3);
    }

    static QColor iconColour(const QIcon& icon) {
        return icon.pixmap(QSize(25, 25)).toImage().pixelColor(12, 12);
    }

    static inline const QColor kRed{220, 0, 0};
    static inline const QColor kGreen{0, 160, 0};
    static inline const QColor kBlue{0, 0, 230};

    ImageList list_{QSize(25, 25), QColor(255, 0, 255)};
    ImagePicker picker_;
    int choices_ = 0;
};

TEST_F(ImagePickerTest, EntriesKeepTheirOrderAndNoneIsChosenAtFirst) {
    EXPECT_EQ(picker_.addEntry("Ann", 1), 1);
    EXPECT_EQ(picker_.addEntry("Bob", 2), 2);
    EXPECT_EQ(picker_.addEntry("Cid", 3), 3);

    EXPECT_EQ(picker_.count(), 3);
    EXPECT_EQ(picker_.entryText(1), QStringLiteral("Ann"));
    EXPECT_EQ(picker_.entryText(2), QStringLiteral("Bob"));
    EXPECT_EQ(picker_.entryText(3), QStringLiteral("Cid"));
    EXPECT_TRUE(picker_.entryText(0).isEmpty());
    EXPECT_TRUE(picker_.entryText(4).isEmpty());
    EXPECT_FALSE(picker_.isEditable());

    EXPECT_EQ(picker_.selectedIndex(), 0);
    EXPECT_TRUE(picker_.text().isEmpty());
    EXPECT_FALSE(picker_.isSelected(1));
    EXPECT_EQ(choices_, 0);
}

TEST_F(ImagePickerTest, EntryPicturesComeFromTheListByNumber) {
    picker_.addEntry("Ann", 3);
    picker_.addEntry("Bob", 1);
    picker_.addEntry("Cid", 0);
    picker_.addEntry("Dee", 9);

    EXPECT_EQ(picker_.entryPicture(1), 3);
    EXPECT_EQ(picker_.entryPicture(2), 1);
    EXPECT_EQ(iconColour(picker_.itemIcon(0)), kBlue);
    EXPECT_EQ(iconColour(picker_.itemIcon(1)), kRed);
    EXPECT_TRUE(picker_.itemIcon(2).isNull());
    EXPECT_TRUE(picker_.itemIcon(3).isNull());
}

TEST_F(ImagePickerTest, SettingTheListLaterLooksThePicturesUp) {
    ImagePicker picker;
    picker.addEntry("Ann", 2);
    EXPECT_TRUE(picker.itemIcon(0).isNull());

    picker.setImageList(&list_);
    EXPECT_EQ(iconColour(picker.itemIcon(0)), kGreen);
}

TEST_F(ImagePickerTest, SelectingFromCodeShowsTheEntryWithoutUserChose) {
    addThree();

    picker_.select(2);
    EXPECT_TRUE(picker_.isSelected(2));
    EXPECT_FALSE(picker_.isSelected(1));
    EXPECT_FALSE(picker_.isSelected(3));
    EXPECT_EQ(picker_.selectedIndex(), 2);
    EXPECT_EQ(picker_.text(), QStringLiteral("Bob"));
    EXPECT_EQ(picker_.currentText(), QStringLiteral("Bob"));

    picker_.select(0);
    picker_.select(4);
    EXPECT_EQ(picker_.selectedIndex(), 2);

    picker_.select(3);
    EXPECT_EQ(picker_.text(), QStringLiteral("Cid"));
    EXPECT_EQ(choices_, 0);
}

TEST_F(ImagePickerTest, SetTextChoosesByTextAndEmptyTextLeavesNothingChosen) {
    addThree();
    picker_.select(2);

    picker_.setText("");
    EXPECT_EQ(picker_.selectedIndex(), 0);
    EXPECT_TRUE(picker_.text().isEmpty());
    EXPECT_TRUE(picker_.currentText().isEmpty());
    EXPECT_EQ(picker_.shownPicture(), 0);

    picker_.setText("Cid");
    EXPECT_EQ(picker_.selectedIndex(), 3);
    picker_.setText("nobody");
    EXPECT_EQ(picker_.selectedIndex(), 0);
    EXPECT_EQ(choices_, 0);
}

TEST_F(ImagePickerTest, KeyboardChoiceRaisesUserChoseOnce) {
    addThree();
    picker_.show();
    picker_.activateWindow();
    picker_.setFocus();
    // The window system reports the activation through the event queue.
    QCoreApplication::processEvents();
    QWidget* target = QApplication::focusWidget();
    ASSERT_EQ(target, &picker_);

    QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &down);

    EXPECT_EQ(choices_, 1);
    EXPECT_EQ(picker_.selectedIndex(), 1);
    EXPECT_EQ(picker_.text(), QStringLiteral("Ann"));

    QCoreApplication::sendEvent(target, &down);
    EXPECT_EQ(choices_, 2);
    EXPECT_EQ(picker_.text(), QStringLiteral("Bob"));
}

TEST_F(ImagePickerTest, ChoiceInTheOpenListRaisesUserChoseOnce) {
    addThree();
    picker_.select(1);
    picker_.show();
    picker_.showPopup();
    QAbstractItemView* list = picker_.view();
    ASSERT_TRUE(list->isVisible());

    list->setCurrentIndex(picker_.model()->index(2, 0));
    EXPECT_EQ(choices_, 0);
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QCoreApplication::sendEvent(list, &enter);

    EXPECT_EQ(choices_, 1);
    EXPECT_EQ(picker_.selectedIndex(), 3);
    EXPECT_EQ(picker_.text(), QStringLiteral("Cid"));
    EXPECT_FALSE(list->isVisible());
}

TEST_F(ImagePickerTest, DisabledPickerTakesNoKeyboardChoice) {
    addThree();
    picker_.setEnabled(false);
    QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
    QCoreApplication::sendEvent(&picker_, &down);

    EXPECT_EQ(choices_, 0);
    EXPECT_EQ(picker_.selectedIndex(), 0);
}

TEST_F(ImagePickerTest, ClearEntriesEmptiesTheList) {
    addThree();
    picker_.select(2);
    picker_.clearEntries();

    EXPECT_EQ(picker_.count(), 0);
    EXPECT_TRUE(picker_.text().isEmpty());
    EXPECT_EQ(picker_.selectedIndex(), 0);
    EXPECT_EQ(picker_.addEntry("Eve", 1), 1);
    EXPECT_EQ(picker_.selectedIndex(), 0);
}

TEST_F(ImagePickerTest, ClosedBoxShowsTheSelectedPictureOfTheChosenEntry) {
    picker_.addEntry("Ann", 1, 3);
    picker_.addEntry("Bob", 2);
    picker_.resize(160, 33);

    picker_.select(1);
    EXPECT_EQ(picker_.entrySelectedPicture(1), 3);
    EXPECT_EQ(picker_.shownPicture(), 3);
    QImage closed = picker_.grab().toImage();
    EXPECT_GT(countPixels(closed, kBlue), 100);
    EXPECT_EQ(countPixels(closed, kRed), 0);
    // The open list still shows the entry's own picture.
    EXPECT_EQ(iconColour(picker_.itemIcon(0)), kRed);

    picker_.select(2);
    EXPECT_EQ(picker_.shownPicture(), 2);
    closed = picker_.grab().toImage();
    EXPECT_GT(countPixels(closed, kGreen), 100);
    EXPECT_EQ(countPixels(closed, kBlue), 0);

    picker_.setText("");
    closed = picker_.grab().toImage();
    EXPECT_EQ(countPixels(closed, kGreen) + countPixels(closed, kBlue), 0);
}

TEST_F(ImagePickerTest, IconSizeStartsAt25AndCanBeChanged) {
    EXPECT_EQ(picker_.iconSize(), QSize(25, 25));
    picker_.setIconSize(QSize(33, 25));
    EXPECT_EQ(picker_.iconSize(), QSize(33, 25));
}

}  // namespace
}  // namespace vondrel
