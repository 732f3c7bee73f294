#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <string>
#include <tuple>
#include <utility>

#include "ui/AttributeBars.h"
#include "ui/Gauge.h"
#include "ui/ImageList.h"

namespace vondrel {
namespace {

const QColor kNavy(7, 0, 128), kBlue(0, 0, 255), kRed(220, 0, 0), kGreen(0, 160, 0);

QPixmap filled(QSize size, const QColor& colour) {
    QPixmap pixmap(size);
    pixmap.fill(colour);
    return pixmap;
}

// The pixels of `w` as it paints itself, inside `area` when given, that are exactly `colour`.
int countPixels(QWidget& w, const QColor& colour, QRect area = {}) {
    const QImage image = w.grab().toImage().convertToFormat(QImage::Format_RGB32).copy(area);
    int found = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            found += image.pixel(x, y) == colour.rgb() ? 1 : 0;
    }
    return found;
}

TEST(BarValueAt, RoundsToTheNearestValueTiesToEvenAndClampsToTheBar) {
    const std::tuple<double, float, int, int> cases[] = {
        {3.05, 61, 10, 0}, {15.25, 61, 10, 2},   {45.75, 61, 10, 8},   {3.1, 61, 10, 1},
        {-500, 61, 10, 0}, {1e6, 61, 10, 10},    {2.125, 170, 200, 2}, {10.625, 170, 200, 12},
        {-3, 170, 200, 0}, {400, 170, 200, 200},
    };
    for (const auto& [x, width, max, expected] : cases)
        EXPECT_EQ(barValueAt(x, width, max), expected) << x << " on " << width;
}

TEST(Gauge, FillsTheValueShareDrawingValuesOutsideTheRangeClampedAndOutlinesItsCaption) {
    Gauge gauge;
    gauge.resize(170, 27);
    gauge.setMaximum(200);
    gauge.setBackColor(kNavy);
    gauge.setFillColor(kBlue);
    QString caption;
    QObject::connect(&gauge, &Gauge::captionRequested, [&](QString& c, int) { c = caption; });
    // From colours, then from pictures (the full one covering the value's share of the empty).
    for (bool pictures : {false, true}) {
        if (pictures)
            gauge.setPictures(filled({59, 25}, kNavy), filled({59, 25}, kBlue));
        for (const auto& [value, columns] :
             {std::pair{100, 85}, std::pair{200, 170}, std::pair{260, 170}, std::pair{-30, 0}}) {
            gauge.setValue(value);
            EXPECT_EQ(gauge.value(), value);
            EXPECT_EQ(countPixels(gauge, kBlue), columns * 27) << value << " " << pictures;
            EXPECT_EQ(countPixels(gauge, kNavy), (170 - columns) * 27) << value << " " << pictures;
        }
    }
    caption = QStringLiteral("WWW");
    EXPECT_GT(countPixels(gauge, Qt::white, QRect(40, 0, 90, 27)), 10);
    EXPECT_EQ(gauge.captionText(), caption);
    // White text on a white fill still shows, by its outline.
    gauge.setPictures(QPixmap(), QPixmap());
    gauge.setFillColor(Qt::white);
    gauge.setValue(200);
    EXPECT_GT(170 * 27 - countPixels(gauge, Qt::white), 10);
}

TEST(ImageList, CountsFromOneKeepsKeysUniqueAndFitsEachPictureWithoutTheMaskColour) {
    const QColor mask(192, 192, 192);
    QPixmap masked = filled({33, 25}, mask);
    QPainter(&masked).fillRect(10, 6, 14, 14, kGreen);
    ImageList list(QSize(33, 25), mask);
    EXPECT_EQ(list.add(filled({10, 10}, kRed), "ID=1"), 1);
    EXPECT_EQ(list.add(masked, "ID=2"), 2);
    EXPECT_EQ(list.add(filled({66, 50}, kBlue), "ID=1"), 3);
    EXPECT_EQ(list.add(QPixmap()), 4);
    // Positions 0 to 5 as "key:size:colour" of each picture's corner and middle.
    QString all;
    for (int i = 0; i <= 5; ++i) {
        const QImage image = list.picture(i).toImage();
        all += QString("%1:%2x%3").arg(list.key(i)).arg(image.width()).arg(image.height());
        for (QPoint at : {QPoint(0, 0), QPoint(16, 12)}) {
            all += image.isNull()                 ? ""
                   : image.pixelColor(at).alpha() ? ":" + image.pixelColor(at).name()
                                                  : QString(":clear");
        }
        all += " ";
    }
    EXPECT_EQ(all.toStdString(),
              ":0x0 ID=1:33x25:#dc0000:#dc0000 ID=2:33x25:clear:#00a000 :33x25:#0000ff:#0000ff "
              ":33x25:clear:clear :0x0 ");
    EXPECT_EQ(list.indexOf("ID=2") + list.indexOf("id=2") + list.indexOf(""), 2);
    list.clear();
    EXPECT_EQ(list.add(filled({33, 25}, kBlue), "ID=2"), 1);
    EXPECT_EQ(list.indexOf("ID=2"), 1);
}

}  // namespace
}  // namespace vondrel
