#include <gtest/gtest.h>

#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QRegularExpression>
#include <cstdlib>
#include <sstream>
#include <string>

#include "support/Scripted.h"
#include "ui/MainWindow.h"

namespace vondrel {
namespace {

// Every element's place in twips (15 to the pixel) as "[parent/]name[#id] fit left top width
// height", relative to the window or the parent, with the string-table id of its caption or hint.
// The fit: '=' that box, shown; 'h' that box, hidden; '3' three faces "(0..2)" in that box, only
// the first shown; '<' a label grown to its text keeping its left edge; '|' one grown keeping its
// centre; '>' one sized to its text ending at `left`.
const char* const kPlaces = R"(
lblSelectyourVek#101 < 105 195 1575 240   pctUI(0) = 1815 180 3285 555
imcFaces = 1845 225 3225 375   imgMaxVEK#102 = 975 435 330 330   pctMaxVek 3 975 435 330 330
imgMaxFAM#103 = 1410 435 330 330   pctMaxFAM 3 1410 435 330 330
lblAttributes#104 < 135 960 960 240   lblAbilities#105 < 2685 960 825 240
pctUI(1) = 90 1230 2460 3210   pctUI(2) = 2655 1230 2460 3210   prgNeat = 1515 1410 915 405
prgOutgoing = 1515 1890 915 405   prgActive = 1515 2385 915 405   prgPlayful = 1515 2880 915 405
prgNice = 1515 3375 915 405   prgCleaning = 1515 3870 915 405   prgCooking = 4080 1410 915 405
prgMechanical = 4080 1890 915 405   prgCharisma = 4080 2385 915 405   prgBody = 4080 2880 915 405
prgLogic = 4080 3375 915 405   prgCreativity = 4080 3870 915 405
pctUI(1)/lblNeat#106 > 1365 240 0 240   pctUI(1)/lblOutgoing#107 > 1365 732 0 240
pctUI(1)/lblActive#108 > 1365 1224 0 240   pctUI(1)/lblPlayful#109 > 1365 1716 0 240
pctUI(1)/lblNice#110 > 1365 2208 0 240   pctUI(1)/lblCleaning#111 > 1365 2700 0 240
pctUI(2)/lblCooking#112 > 1395 240 0 240   pctUI(2)/lblMechanical#113 > 1395 735 0 240
pctUI(2)/lblCharisma#114 > 1395 1230 0 240   pctUI(2)/lblBody#115 > 1395 1710 0 240
pctUI(2)/lblLogic#116 > 1395 2205 0 240   pctUI(2)/lblCreativity#117 > 1395 2700 0 240
lblRelationships#118 < 5370 210 1335 240   pctUI(4) = 5355 510 3285 555
imcRelationship = 5385 555 3225 375   prgYFeel#119 = 5385 1110 2865 375
chkYLove = 8310 1110 375 375   prgSFeel#120 = 5385 1530 2865 375   chkSLove = 8310 1530 375 375
pctUI(3) = 6075 2130 2565 555   pctUI(3)/txtFundo = 870 45 1650 465   lblJob#143 < 5520 2280 405 240
imcJobIcon = 6120 2175 825 345   imcJobs = 6990 2250 1605 345   lblPerf#144 < 5415 2850 510 240
prgPerf = 6090 2790 2550 405   lbllFamName#121 < 5340 3405 1155 240   lblFamName = 6510 3405 945 240
lbllAddress#122 < 5685 3735 810 240   lblAddress = 6510 3735 945 240
lblMoney#123 < 5805 4065 690 240   txtMoney = 6690 4050 765 285   lblLingering < 7665 4065 435 240
cmbLingering = 8145 4050 555 315   btnGhost = 7620 3420 1110 465   lblGhost#124 | 7905 3525 540 240
imgGhost(0) = 7620 3420 1110 465   imgGhost(1) h 7620 3420 1110 465
imgGhost(2) h 7605 3435 1110 465   btnSave = 120 4575 1605 645   btnExit = 1770 4575 1605 645
btnHelp = 3420 4575 1605 645   btnAbout = 5445 4575 1605 645   lblSave#125 | 165 4770 1500 240
lblExit#126 | 1800 4770 1500 240   lblHelp#127 | 3465 4770 1500 240
lblAbout#128 | 5490 4770 1500 240   imgSave 3 120 4575 1605 645   imgExit 3 1770 4575 1605 645
imgHelp 3 3420 4575 1605 645   imgAbout 3 5445 4575 1605 645   imgLogo = 7200 4590 1425 645
imgDiv(0) = 5205 0 120 5400   imgDiv(1) = 5205 1935 3525 120   imgDiv(2) = 5205 3255 3525 120
imgDiv(3) = 5205 4365 3495 120   imgDiv(4) = 7500 3195 120 1350)";

// With `numbered`, each caption or hint is "Text number " and its id.
void expectEveryElementAtItsPlace(const MainWindow& window, bool numbered) {
    std::istringstream in(kPlaces);
    std::string name;
    char fit;
    for (int left, top, width, height; in >> name >> fit >> left >> top >> width >> height;) {
        SCOPED_TRACE(name);
        const QStringList path = QString::fromStdString(name).section('#', 0, 0).split('/');
        const QString id = QString::fromStdString(name).section('#', 1);
        const QWidget* parent = path.size() > 1 ? window.element(path[0]) : &window;
        const QRect want(left / 15, top / 15, width / 15, height / 15);
        const QString own = path.back();
        for (int i = 0; i < (fit == '3' ? 3 : 1); ++i) {
            QWidget* w = window.element(fit == '3' ? QString("%1(%2)").arg(own).arg(i) : own);
            ASSERT_TRUE(w && parent->isAncestorOf(w));
            EXPECT_EQ(w->isVisibleTo(&window), fit != 'h' && i == 0);
            const QRect got(w->mapTo(parent, QPoint(0, 0)), w->size());
            // Controls lie above the panels, the faces and captions under them.
            static const QRegularExpression above(
                "^(prg|imc|btn|imgMax|lbl(Save|Exit|Help|About|Ghost)$)");
            if (above.match(own).hasMatch()) {
                EXPECT_EQ(window.childAt(got.center()),
                          window.element(QString(own).replace("lbl", "btn")));
            }
            auto* label = qobject_cast<QLabel*>(w);
            if (numbered && !id.isEmpty()) {
                EXPECT_EQ(label ? label->text() : w->toolTip(), "Text number " + id);
            }
            if (QString("=h3").contains(fit) || !label) {
                EXPECT_EQ(got, want);
                continue;
            }
            EXPECT_EQ(QRect(0, got.top(), 0, got.height()), QRect(0, want.top(), 0, want.height()));
            // As wide as designed at least, and as its text within a pixel.
            EXPECT_GE(got.width(), want.width());
            EXPECT_GE(got.width() + 1,
                      QFontMetrics(label->font()).boundingRect(label->text()).width());
            // The left edge, the right edge or twice the centre, within a pixel and a half.
            const int edge = fit == '<' ? got.left() - want.left()
                             : fit == '>'
                                 ? got.right() + 1 - want.left()
                                 : 2 * got.left() + got.width() - 2 * want.left() - want.width();
            EXPECT_LE(std::abs(edge), fit == '|' ? 3 : 0);
            EXPECT_EQ(QString("%1 %2 %3 %4")
                          .arg(label->font().family())
                          .arg(QFontInfo(label->font()).bold())
                          .arg(label->font().pointSizeF())
                          .arg(label->palette().color(label->foregroundRole()).name()),
                      "Arial 1 9.75 #ffffff");
        }
    }
}

// With the built-in texts, then with a table whose texts name their id, longer than those.
TEST(MainWindowLayout, FixedNavyWindowWithEveryElementAtItsPlaceAndEveryCaptionFromItsId) {
    std::string source;
    for (int id = 100; id <= 160; ++id)
        source += std::to_string(id) + " \"Text number " + std::to_string(id) + "\"\n";
    const StringTable numbered = StringTable::parse(source);
    ScriptedMessageBoxes messages;
    for (const StringTable* table : {&StringTable::builtIn(), &numbered}) {
        MainWindow window(messages, {}, *table);
        window.setCaptions();
        window.show();
        window.resize(800, 600);
        EXPECT_EQ(window.size(), QSize(582, 355));
        EXPECT_EQ(window.windowTitle(), QString("Vondrel V0.40A - [Only for BETA testers!!]"));
        ASSERT_EQ(window.childAt(1, 1), nullptr);
        EXPECT_EQ(window.grab().toImage().pixelColor(1, 1), QColor(7, 0, 128));
        expectEveryElementAtItsPlace(window, table == &numbered);
        EXPECT_EQ(window.element("chkYLove")->toolTip() + window.element("chkSLove")->toolTip(),
                  QString("You love this Vek ?This Vek love you ?"));
    }
}

}  // namespace
}  // namespace vondrel
