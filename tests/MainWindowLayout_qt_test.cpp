#include <gtest/gtest.h>

#include <QComboBox>
#include <QFontInfo>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTest>
#include <cstdlib>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "support/Scripted.h"
#include "ui/MainWindow.h"

namespace vondrel {
namespace {

// Every element's place in twips (15 to the pixel) as "[parent/]name fit left top width height",
// relative to the window or the parent. The fit: '=' that box, shown; 'h' that box, hidden; '3'
// three faces "(0..2)" in that box, only the first shown; '<' a label grown to its text keeping
// its left edge; '|' one grown keeping its centre; '>' one sized to its text ending at `left`.
const char* const kPlaces = R"(
lblSelectyourVek < 105 195 1575 240   pctUI(0) = 1815 180 3285 555   imcFaces = 1845 225 3225 375
imgMaxVEK = 975 435 330 330   pctMaxVek 3 975 435 330 330   imgMaxFAM = 1410 435 330 330
pctMaxFAM 3 1410 435 330 330   lblAttributes < 135 960 960 240   lblAbilities < 2685 960 825 240
pctUI(1) = 90 1230 2460 3210   pctUI(2) = 2655 1230 2460 3210   prgNeat = 1515 1410 915 405
prgOutgoing = 1515 1890 915 405   prgActive = 1515 2385 915 405   prgPlayful = 1515 2880 915 405
prgNice = 1515 3375 915 405   prgCleaning = 1515 3870 915 405   prgCooking = 4080 1410 915 405
prgMechanical = 4080 1890 915 405   prgCharisma = 4080 2385 915 405   prgBody = 4080 2880 915 405
prgLogic = 4080 3375 915 405   prgCreativity = 4080 3870 915 405   pctUI(1)/lblNeat > 1365 240 0 240
pctUI(1)/lblOutgoing > 1365 732 0 240   pctUI(1)/lblActive > 1365 1224 0 240
pctUI(1)/lblPlayful > 1365 1716 0 240   pctUI(1)/lblNice > 1365 2208 0 240
pctUI(1)/lblCleaning > 1365 2700 0 240   pctUI(2)/lblCooking > 1395 240 0 240
pctUI(2)/lblMechanical > 1395 735 0 240   pctUI(2)/lblCharisma > 1395 1230 0 240
pctUI(2)/lblBody > 1395 1710 0 240   pctUI(2)/lblLogic > 1395 2205 0 240
pctUI(2)/lblCreativity > 1395 2700 0 240   lblRelationships < 5370 210 1335 240
pctUI(4) = 5355 510 3285 555   imcRelationship = 5385 555 3225 375   prgYFeel = 5385 1110 2865 375
chkYLove = 8310 1110 375 375   prgSFeel = 5385 1530 2865 375   chkSLove = 8310 1530 375 375
pctUI(3) = 6075 2130 2565 555   pctUI(3)/txtFundo = 870 45 1650 465   lblJob < 5520 2280 405 240
imcJobIcon = 6120 2175 825 345   imcJobs = 6990 2250 1605 345   lblPerf < 5415 2850 510 240
prgPerf = 6090 2790 2550 405   lbllFamName < 5340 3405 1155 240   lblFamName = 6510 3405 945 240
lbllAddress < 5685 3735 810 240   lblAddress = 6510 3735 945 240   lblMoney < 5805 4065 690 240
txtMoney = 6690 4050 765 285   lblLingering < 7665 4065 435 240   cmbLingering = 8145 4050 555 315
btnGhost = 7620 3420 1110 465   lblGhost | 7905 3525 540 240   imgGhost(0) = 7620 3420 1110 465
imgGhost(1) h 7620 3420 1110 465   imgGhost(2) h 7605 3435 1110 465   btnSave = 120 4575 1605 645
btnExit = 1770 4575 1605 645   btnHelp = 3420 4575 1605 645   btnAbout = 5445 4575 1605 645
lblSave | 165 4770 1500 240   lblExit | 1800 4770 1500 240   lblHelp | 3465 4770 1500 240
lblAbout | 5490 4770 1500 240   imgSave 3 120 4575 1605 645   imgExit 3 1770 4575 1605 645
imgHelp 3 3420 4575 1605 645   imgAbout 3 5445 4575 1605 645   imgLogo = 7200 4590 1425 645
imgDiv(0) = 5205 0 120 5400   imgDiv(1) = 5205 1935 3525 120   imgDiv(2) = 5205 3255 3525 120
imgDiv(3) = 5205 4365 3495 120   imgDiv(4) = 7500 3195 120 1350)";

struct Place {
    QString parent, name;
    char fit;
    QRect pixels;
};
std::vector<Place> places() {
    std::vector<Place> all;
    std::istringstream in(kPlaces);
    std::string name;
    char fit;
    int left, top, width, height;
    while (in >> name >> fit >> left >> top >> width >> height) {
        const QStringList path = QString::fromStdString(name).split('/');
        all.push_back({path.size() > 1 ? path[0] : QString(), path.back(), fit,
                       QRect(left / 15, top / 15, width / 15, height / 15)});
    }
    return all;
}

const QColor kNavy(7, 0, 128);

// The pixels the label's text covers when it paints itself at `size` on the navy background.
int inkOf(const QLabel& label, QSize size) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(kNavy);
    QLabel copy(label.text());
    copy.setFont(label.font());
    copy.setAlignment(label.alignment());
    copy.setPalette(label.palette());
    copy.resize(size);
    copy.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    int ink = 0;
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x)
            ink += image.pixelColor(x, y) != kNavy ? 1 : 0;
    }
    return ink;
}

void expectEveryElementAtItsPlace(const MainWindow& window) {
    for (const Place& p : places()) {
        SCOPED_TRACE(p.name.toStdString());
        for (int i = 0; i < (p.fit == '3' ? 3 : 1); ++i) {
            QWidget* w =
                window.element(p.fit == '3' ? QString("%1(%2)").arg(p.name).arg(i) : p.name);
            ASSERT_NE(w, nullptr);
            EXPECT_EQ(w->isVisibleTo(&window), p.fit != 'h' && i == 0);
            const QWidget* parent = p.parent.isEmpty() ? &window : window.element(p.parent);
            ASSERT_TRUE(parent->isAncestorOf(w));
            const QRect got(w->mapTo(parent, QPoint(0, 0)), w->size()), want = p.pixels;
            auto* label = qobject_cast<QLabel*>(w);
            if (QString("=h3").contains(p.fit)) {
                EXPECT_EQ(got, want);
                continue;
            }
            ASSERT_NE(label, nullptr);
            EXPECT_EQ(got.top(), want.top());
            EXPECT_EQ(got.height(), want.height());
            EXPECT_GE(got.width(), want.width());
            // The left edge, the right edge or twice the centre, within a pixel and a half.
            const int edge = p.fit == '<' ? got.left() - want.left()
                             : p.fit == '>'
                                 ? got.left() + got.width() - want.left()
                                 : 2 * got.left() + got.width() - 2 * want.left() - want.width();
            EXPECT_LE(std::abs(edge), p.fit == '|' ? 3 : 0);
            // It shows all of its text: more room would show no more.
            EXPECT_EQ(inkOf(*label, got.size()), inkOf(*label, got.size() + QSize(60, 0)))
                << got.width() << " px for " << label->text().toStdString();
            const QString family = QFontInfo(label->font()).family();
            EXPECT_TRUE(family == "Arial" || family == "Liberation Sans") << family.toStdString();
            EXPECT_TRUE(QFontInfo(label->font()).bold());
            EXPECT_DOUBLE_EQ(label->font().pointSizeF(), 9.75);
            EXPECT_EQ(label->palette().color(label->foregroundRole()), QColor(Qt::white));
        }
    }
}

// A string table whose texts name their id, longer than the built-in ones.
StringTable numberedTable() {
    std::string source;
    for (int id = 100; id <= 160; ++id)
        source += std::to_string(id) + " \"Text number " + std::to_string(id) + "\"\n";
    return StringTable::parse(source);
}

TEST(MainWindowLayout, FixedNavyWindowWithEveryElementAtItsPlaceAndEveryLabelReadable) {
    ScriptedMessageBoxes messages;
    MainWindow window(messages, {});
    window.setCaptions();
    window.show();
    window.resize(800, 600);
    EXPECT_EQ(window.size(), QSize(582, 355));
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Vondrel V0.40A - [Only for BETA testers!!]"));
    ASSERT_EQ(window.childAt(1, 1), nullptr);
    const QImage shot = window.grab().toImage();
    EXPECT_EQ(shot.pixelColor(1, 1), kNavy);
    EXPECT_EQ(shot.pixelColor(300, 350), kNavy);
    expectEveryElementAtItsPlace(window);

    // Controls lie above the panels, faces and captions under them.
    for (const Place& p : places()) {
        QWidget* w = window.element(p.name);
        if (!w)
            continue;  // faces, at their places above
        const QRect r(w->mapTo(&window, QPoint(0, 0)), w->size());
        if (QRegularExpression("^(prg|imc|btn|imgMax)").match(p.name).hasMatch()) {
            for (QPoint at :
                 {r.center(), r.topLeft() + QPoint(2, 2), r.bottomRight() - QPoint(2, 2)})
                EXPECT_EQ(window.childAt(at), w) << p.name.toStdString();
        }
        if (QRegularExpression("^lbl(Save|Exit|Help|About|Ghost)$").match(p.name).hasMatch()) {
            const QString button = QString(p.name).replace("lbl", "btn");
            EXPECT_EQ(window.childAt(r.center()), window.element(button)) << p.name.toStdString();
        }
    }

    const StringTable table = numberedTable();
    MainWindow longer(messages, {}, table);
    longer.setCaptions();
    EXPECT_GT(longer.element("lblSave")->width(), 100);  // the design's 1500 twips
    expectEveryElementAtItsPlace(longer);
}

TEST(MainWindowLayout, CaptionsAndHintsComeFromTheirStringTableIds) {
    ScriptedMessageBoxes messages;
    MainWindow builtIn(messages, {});
    const auto text = [](const MainWindow& w, const char* name) {
        return qobject_cast<QLabel*>(w.element(name))->text().toStdString();
    };
    EXPECT_EQ(text(builtIn, "lblPerf"), "Perf.:");  // as designed, until the captions are set
    builtIn.setCaptions();
    EXPECT_EQ(text(builtIn, "lblPerf"), "Perf:");
    EXPECT_EQ(text(builtIn, "lblGhost"), "Ghost:");
    EXPECT_EQ(builtIn.element("prgSFeel")->toolTip(),
              QStringLiteral("How the Vek feels about you"));

    const StringTable table = numberedTable();
    MainWindow window(messages, {}, table);
    window.setCaptions();
    std::istringstream captions(
        "lblSelectyourVek 101 lblAttributes 104 lblAbilities 105 lblNeat 106 lblOutgoing 107 "
        "lblActive 108 lblPlayful 109 lblNice 110 lblCleaning 111 lblCooking 112 lblMechanical 113 "
        "lblCharisma 114 lblBody 115 lblLogic 116 lblCreativity 117 lblRelationships 118 "
        "lbllFamName 121 lbllAddress 122 lblMoney 123 lblGhost 124 lblSave 125 lblExit 126 "
        "lblHelp 127 lblAbout 128 lblJob 143 lblPerf 144");
    std::string name;
    int count = 0;
    for (int id; captions >> name >> id; ++count)
        EXPECT_EQ(text(window, name.c_str()), "Text number " + std::to_string(id)) << name;
    EXPECT_EQ(count, 26);
    const std::pair<const char*, const char*> hints[] = {
        {"imgMaxVEK", "Text number 102"},    {"imgMaxFAM", "Text number 103"},
        {"prgYFeel", "Text number 119"},     {"prgSFeel", "Text number 120"},
        {"chkYLove", "You love this Vek ?"}, {"chkSLove", "This Vek love you ?"},
    };
    for (const auto& [name, hint] : hints)
        EXPECT_EQ(window.element(name)->toolTip().toStdString(), hint) << name;
}

TEST(MainWindowLayout, MoneyTakesSevenTypedDigitsAndLingeringOffersOneToTen) {
    ScriptedMessageBoxes messages;
    MainWindow window(messages, {});
    auto* money = qobject_cast<QLineEdit*>(window.element("txtMoney"));
    money->selectAll();
    QTest::keyClicks(money, QStringLiteral("123456789"));
    EXPECT_EQ(money->text(), QStringLiteral("1234567"));
    money->setText(QStringLiteral("-123456789"));
    EXPECT_EQ(money->text(), QStringLiteral("-123456789"));

    auto* lingering = qobject_cast<QComboBox*>(window.element("cmbLingering"));
    QStringList items;
    for (int i = 0; i < lingering->count(); ++i)
        items << lingering->itemText(i);
    EXPECT_EQ(items, (QStringList{"01", "02", "03", "04", "05", "06", "07", "08", "09", "10"}));
}

}  // namespace
}  // namespace vondrel
