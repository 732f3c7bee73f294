#include <gtest/gtest.h>

#include <QApplication>
#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "support/Scripted.h"
#include "ui/Design.h"
#include "ui/MainWindow.h"

namespace vondrel {
namespace {

// The skinned buttons: the design name of the faces (three widgets "<name>(0..2)"), the hit
// area and the caption (empty: none).
struct ButtonNames {
    const char* faces;
    const char* hitArea;
    const char* caption;
};
constexpr ButtonNames kButtons[] = {
    {"imgSave", "btnSave", "lblSave"},    {"imgExit", "btnExit", "lblExit"},
    {"imgHelp", "btnHelp", "lblHelp"},    {"imgAbout", "btnAbout", "lblAbout"},
    {"imgGhost", "btnGhost", "lblGhost"}, {"pctMaxVek", "imgMaxVEK", ""},
    {"pctMaxFAM", "imgMaxFAM", ""},
};

bool isFaceArray(std::string_view name) {
    for (const ButtonNames& b : kButtons) {
        if (name == b.faces)
            return true;
    }
    return false;
}

// Captions centred over their buttons grow on both sides; the two right-aligned values keep
// their box; every other label keeps its left edge.
bool isCentredCaption(std::string_view name) {
    return name == "lblSave" || name == "lblExit" || name == "lblHelp" || name == "lblAbout" ||
           name == "lblGhost";
}
bool keepsItsBox(std::string_view name) {
    return name == "lblFamName" || name == "lblAddress";
}

QString faceName(const char* faces, int i) {
    return QStringLiteral("%1(%2)").arg(QLatin1String(faces)).arg(i);
}

QString qname(std::string_view name) {
    return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
}

// The number of pixels the label's text covers when the label paints itself on the navy
// background at `size` (its own size when empty).
int inkOf(const QLabel& label, QSize size = {}) {
    if (size.isEmpty())
        size = label.size();
    QLabel copy(label.text());
    copy.setFont(label.font());
    copy.setAlignment(label.alignment());
    copy.setPalette(label.palette());
    copy.setIndent(label.indent());
    copy.setMargin(label.margin());
    copy.resize(size);
    QImage image(size, QImage::Format_RGB32);
    image.fill(QColor(7, 0, 128));
    copy.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    int ink = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            ink += image.pixelColor(x, y) != QColor(7, 0, 128) ? 1 : 0;
    }
    return ink;
}

// Whether the label shows all of its text: given more room it would show no more.
bool showsAllItsText(const QLabel& label) {
    return inkOf(label) == inkOf(label, label.size() + QSize(60, 0));
}

// A string table whose texts name their id, so that each caption shows where it came from.
StringTable numberedTable() {
    std::string source;
    for (int id = 100; id <= 160; ++id)
        source += std::to_string(id) + " \"Text number " + std::to_string(id) + "\"\n";
    return StringTable::parse(source);
}

class MainWindowLayoutTest : public ::testing::Test {
  protected:
    void SetUp() override {
        window_.setCaptions();
        window_.show();
        ASSERT_NE(window_.windowHandle(), nullptr);
    }

    QWidget* element(std::string_view name) const { return window_.element(qname(name)); }
    // A widget's rectangle in the window's coordinates.
    QRect inWindow(const QWidget* w) const {
        return QRect(w->mapTo(&window_, QPoint(0, 0)), w->size());
    }
    std::vector<QLabel*> allLabels() const {
        std::vector<QLabel*> labels;
        for (const design::Place& p : design::kMainWindow) {
            if (p.name.substr(0, 3) == "lbl")
                labels.push_back(qobject_cast<QLabel*>(element(p.name)));
        }
        for (const design::BarLabel& b : design::kBarLabels)
            labels.push_back(qobject_cast<QLabel*>(element(b.name)));
        return labels;
    }

    template <typename W>
    static W* in(const MainWindow& window, const char* name) {
        return qobject_cast<W*>(window.element(QString::fromLatin1(name)));
    }
    template <typename W>
    W* in(const char* name) const {
        return in<W>(window_, name);
    }

    ScriptedMessageBoxes messages_;
    MainWindow window_{messages_, {}};
};

// ---------------------------------------------------------------------------------------------
// The window itself.

TEST_F(MainWindowLayoutTest, WindowHasItsFixedClientSizeTitleAndNavyBackground) {
    EXPECT_EQ(window_.size(), QSize(582, 355));
    EXPECT_EQ(window_.minimumSize(), QSize(582, 355));
    EXPECT_EQ(window_.maximumSize(), QSize(582, 355));
    window_.resize(800, 600);
    EXPECT_EQ(window_.size(), QSize(582, 355));
    EXPECT_EQ(window_.windowTitle(), QStringLiteral("Vondrel V0.40A - [Only for BETA testers!!]"));

    // A spot where no element lies shows the window's own background.
    const QPoint bare(1, 1);
    ASSERT_EQ(window_.childAt(bare), nullptr);
    const QImage shot = window_.grab().toImage();
    ASSERT_EQ(shot.size(), QSize(582, 355));
    EXPECT_EQ(shot.pixelColor(bare), QColor(7, 0, 128));
    EXPECT_EQ(shot.pixelColor(300, 350), QColor(7, 0, 128));
}

// ---------------------------------------------------------------------------------------------
// Places and sizes.

TEST_F(MainWindowLayoutTest, EveryDesignElementSitsAtItsPlace) {
    for (const design::Place& p : design::kMainWindow) {
        SCOPED_TRACE(std::string(p.name));
        const QRect want = p.pixels();
        if (isFaceArray(p.name)) {
            for (int i = 0; i < 3; ++i) {
                const QString name = faceName(std::string(p.name).c_str(), i);
                SCOPED_TRACE(name.toStdString());
                QWidget* face = window_.element(name);
                ASSERT_NE(face, nullptr);
                const QRect where =
                    (p.name == "imgGhost" && i == 2) ? design::kGhostPressed.pixels() : want;
                EXPECT_EQ(inWindow(face), where);
            }
            continue;
        }
        QWidget* w = element(p.name);
        ASSERT_NE(w, nullptr);
        if (!p.parent.empty()) {
            ASSERT_EQ(w->parentWidget(), element(p.parent));
            EXPECT_EQ(w->geometry(), want);
            continue;
        }
        const QRect got = inWindow(w);
        if (p.name.substr(0, 3) != "lbl" || keepsItsBox(p.name)) {
            EXPECT_EQ(got, want);
            continue;
        }
        EXPECT_EQ(got.top(), want.top());
        EXPECT_EQ(got.height(), want.height());
        EXPECT_GE(got.width(), want.width());
        if (isCentredCaption(p.name)) {
            EXPECT_LE(std::abs((got.left() + got.right()) - (want.left() + want.right())), 2)
                << "centre moved: " << got.left() << ".." << got.right();
        } else {
            EXPECT_EQ(got.left(), want.left());
        }
    }
}

TEST_F(MainWindowLayoutTest, GhostPressedFaceIsOnePixelLeftAndLower) {
    const QRect normal = inWindow(window_.element(QStringLiteral("imgGhost(0)")));
    const QRect pressed = inWindow(window_.element(QStringLiteral("imgGhost(2)")));
    EXPECT_EQ(pressed, normal.translated(-1, 1));
}

// Every label shows all of its text; a grown one keeps its top and height, and its left edge
// or (a centred caption) its centre; the bar labels keep their right edge.
void expectLabelsShowAllTheirText(const MainWindow& window) {
    for (const design::Place& p : design::kMainWindow) {
        if (p.name.substr(0, 3) != "lbl" || keepsItsBox(p.name))
            continue;
        SCOPED_TRACE(std::string(p.name));
        auto* label = qobject_cast<QLabel*>(window.element(qname(p.name)));
        ASSERT_NE(label, nullptr);
        EXPECT_TRUE(showsAllItsText(*label))
            << label->width() << " px for \"" << label->text().toStdString() << "\"";
        const QRect want = p.pixels();
        EXPECT_EQ(label->y(), want.y());
        EXPECT_EQ(label->height(), want.height());
        EXPECT_GE(label->width(), want.width());
        if (isCentredCaption(p.name)) {
            const int centre2 = label->x() * 2 + label->width();
            const int wanted2 = want.x() * 2 + want.width();
            EXPECT_LE(std::abs(centre2 - wanted2), 3) << label->x() << "+" << label->width();
        } else {
            EXPECT_EQ(label->x(), want.x());
        }
    }
    for (const design::BarLabel& b : design::kBarLabels) {
        SCOPED_TRACE(std::string(b.name));
        auto* label = qobject_cast<QLabel*>(window.element(qname(b.name)));
        ASSERT_NE(label, nullptr);
        EXPECT_TRUE(showsAllItsText(*label)) << label->width();
        EXPECT_EQ(label->x() + label->width(), b.rightEdge / design::kTwipsPerPixel);
    }
}

TEST_F(MainWindowLayoutTest, LabelsShowAllOfTheirBuiltInText) {
    expectLabelsShowAllTheirText(window_);
}

TEST_F(MainWindowLayoutTest, LabelsGrowForLongerTexts) {
    const StringTable table = numberedTable();
    MainWindow window(messages_, {}, table);
    window.setCaptions();
    // The long texts do not fit the design's boxes.
    EXPECT_GT(in<QLabel>(window, "lblJob")->width(), design::find("lblJob")->pixels().width());
    EXPECT_GT(in<QLabel>(window, "lblSave")->width(), design::find("lblSave")->pixels().width());
    expectLabelsShowAllTheirText(window);
}

TEST_F(MainWindowLayoutTest, BarLabelsEndAtTheirRightEdgeLevelWithTheirBars) {
    for (const design::BarLabel& b : design::kBarLabels) {
        SCOPED_TRACE(std::string(b.name));
        auto* label = qobject_cast<QLabel*>(element(b.name));
        ASSERT_NE(label, nullptr);
        QWidget* panel = element(b.panel);
        ASSERT_NE(panel, nullptr);
        EXPECT_EQ(label->parentWidget(), panel);
        EXPECT_EQ(label->x() + label->width(), b.rightEdge / design::kTwipsPerPixel);
        EXPECT_EQ(label->y(), b.top / design::kTwipsPerPixel);
        EXPECT_EQ(label->height(), b.height / design::kTwipsPerPixel);
        EXPECT_GT(label->width(), 0);
        EXPECT_TRUE(panel->rect().contains(label->geometry()));
        EXPECT_TRUE(label->isVisible());

        const std::string barName = "prg" + std::string(b.name.substr(3));
        QWidget* bar = element(barName);
        ASSERT_NE(bar, nullptr);
        const QRect labelRect = inWindow(label);
        const QRect barRect = inWindow(bar);
        const double labelMiddle = labelRect.y() + labelRect.height() / 2.0;
        const double barMiddle = barRect.y() + barRect.height() / 2.0;
        EXPECT_LE(std::abs(labelMiddle - barMiddle), 2.0) << labelMiddle << " vs " << barMiddle;
        // The label stands to the left of its bar.
        EXPECT_LE(labelRect.right(), barRect.left());
    }
}

// ---------------------------------------------------------------------------------------------
// Fonts and colours.

TEST_F(MainWindowLayoutTest, EveryLabelIsWhiteBoldArialOfNineAndThreeQuarterPoints) {
    for (QLabel* label : allLabels()) {
        ASSERT_NE(label, nullptr);
        SCOPED_TRACE(label->objectName().toStdString());
        const QString family = QFontInfo(label->font()).family();
        EXPECT_TRUE(family == QStringLiteral("Arial") ||
                    family == QStringLiteral("Liberation Sans"))
            << family.toStdString();
        EXPECT_TRUE(label->font().bold());
        EXPECT_TRUE(QFontInfo(label->font()).bold());
        EXPECT_DOUBLE_EQ(label->font().pointSizeF(), 9.75);
        EXPECT_EQ(label->palette().color(label->foregroundRole()), QColor(Qt::white));
    }
}

// ---------------------------------------------------------------------------------------------
// Stacking: what the mouse finds at each place.

TEST_F(MainWindowLayoutTest, GaugesLieAboveThePanelsTheyOverlap) {
    for (const design::BarLabel& b : design::kBarLabels) {
        const std::string name = "prg" + std::string(b.name.substr(3));
        SCOPED_TRACE(name);
        QWidget* gauge = element(name);
        const QRect where = inWindow(gauge);
        // Each bar lies on one of the attribute panels.
        const bool onPanel = inWindow(element("pctUI(1)")).contains(where) ||
                             inWindow(element("pctUI(2)")).contains(where);
        EXPECT_TRUE(onPanel);
        EXPECT_EQ(window_.childAt(where.center()), gauge);
        EXPECT_EQ(window_.childAt(where.topLeft() + QPoint(1, 1)), gauge);
        EXPECT_EQ(window_.childAt(where.bottomRight() - QPoint(1, 1)), gauge);
    }
    for (const char* name : {"prgYFeel", "prgSFeel", "prgPerf"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(window_.childAt(inWindow(element(name)).center()), element(name));
    }
    // The pickers and boxes on the picker and job panels are above them too.
    for (QWidget* w : std::vector<QWidget*>{element("imcFaces"), element("imcRelationship"),
                                            element("imcJobIcon"), element("imcJobs")}) {
        SCOPED_TRACE(w->objectName().toStdString());
        EXPECT_EQ(window_.childAt(inWindow(w).center()), w);
    }
}

TEST_F(MainWindowLayoutTest, HitAreasLieAboveTheirFacesAndCaptions) {
    for (const ButtonNames& names : kButtons) {
        SCOPED_TRACE(names.hitArea);
        QWidget* hit = window_.element(QString::fromLatin1(names.hitArea));
        ASSERT_NE(hit, nullptr);
        const QRect area = inWindow(hit);
        EXPECT_EQ(window_.childAt(area.center()), hit);
        EXPECT_EQ(window_.childAt(area.topLeft() + QPoint(2, 2)), hit);
        EXPECT_EQ(window_.childAt(area.bottomRight() - QPoint(2, 2)), hit);
        if (*names.caption) {
            QWidget* caption = window_.element(QString::fromLatin1(names.caption));
            ASSERT_NE(caption, nullptr);
            ASSERT_TRUE(area.contains(inWindow(caption).center()));
            EXPECT_EQ(window_.childAt(inWindow(caption).center()), hit);
        }
    }
}

TEST_F(MainWindowLayoutTest, ButtonsStartOnTheirNormalFace) {
    for (const ButtonNames& names : kButtons) {
        SCOPED_TRACE(names.faces);
        for (int i = 0; i < 3; ++i) {
            QWidget* face = window_.element(faceName(names.faces, i));
            ASSERT_NE(face, nullptr);
            EXPECT_EQ(face->isVisible(), i == 0) << "face " << i;
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Captions, hints and contents.

TEST(MainWindowCaptions, CaptionsAndHintsComeFromTheirStringTableIds) {
    ScriptedMessageBoxes messages;
    const StringTable table = numberedTable();
    MainWindow window(messages, {}, table);
    window.setCaptions();
    const auto textOf = [&](const char* name) {
        auto* label = qobject_cast<QLabel*>(window.element(QString::fromLatin1(name)));
        return label ? label->text().toStdString() : std::string("<no label>");
    };
    const std::vector<std::pair<const char*, int>> captions = {
        {"lblSelectyourVek", 101}, {"lblAttributes", 104}, {"lblAbilities", 105},
        {"lblNeat", 106},          {"lblOutgoing", 107},   {"lblActive", 108},
        {"lblPlayful", 109},       {"lblNice", 110},       {"lblCleaning", 111},
        {"lblCooking", 112},       {"lblMechanical", 113}, {"lblCharisma", 114},
        {"lblBody", 115},          {"lblLogic", 116},      {"lblCreativity", 117},
        {"lblRelationships", 118}, {"lbllFamName", 121},   {"lbllAddress", 122},
        {"lblMoney", 123},         {"lblGhost", 124},      {"lblSave", 125},
        {"lblExit", 126},          {"lblHelp", 127},       {"lblAbout", 128},
        {"lblJob", 143},           {"lblPerf", 144},
    };
    for (const auto& [name, id] : captions)
        EXPECT_EQ(textOf(name), table.text(id)) << name;

    const auto hintOf = [&](const char* name) {
        QWidget* w = window.element(QString::fromLatin1(name));
        return w ? w->toolTip().toStdString() : std::string("<no element>");
    };
    EXPECT_EQ(hintOf("imgMaxVEK"), table.text(102));
    EXPECT_EQ(hintOf("imgMaxFAM"), table.text(103));
    EXPECT_EQ(hintOf("prgYFeel"), table.text(119));
    EXPECT_EQ(hintOf("prgSFeel"), table.text(120));
    EXPECT_EQ(hintOf("chkYLove"), "You love this Vek ?");
    EXPECT_EQ(hintOf("chkSLove"), "This Vek love you ?");
}

TEST(MainWindowCaptions, BuiltInCaptionsReplaceTheStoredOnes) {
    ScriptedMessageBoxes messages;
    MainWindow window(messages, {});
    const auto label = [&](const char* name) {
        return qobject_cast<QLabel*>(window.element(QString::fromLatin1(name)))->text();
    };
    EXPECT_EQ(label("lblPerf"), QStringLiteral("Perf.:"));
    window.setCaptions();
    EXPECT_EQ(label("lblPerf"), QStringLiteral("Perf:"));
    EXPECT_EQ(label("lblSelectyourVek"), QStringLiteral("Select your Vek:"));
    EXPECT_EQ(label("lblGhost"), QStringLiteral("Ghost:"));
    EXPECT_EQ(window.element(QStringLiteral("imgMaxVEK"))->toolTip(),
              QStringLiteral("Maximize all attributes and Abilities of the selected VEK"));
    EXPECT_EQ(window.element(QStringLiteral("prgSFeel"))->toolTip(),
              QStringLiteral("How the Vek feels about you"));
}

TEST_F(MainWindowLayoutTest, MoneyBoxTakesAtMostSevenTypedDigitsButShowsAnyAmount) {
    QLineEdit* money = in<QLineEdit>("txtMoney");
    money->setFocus();
    money->selectAll();
    for (const char* key : {"1", "2", "3", "4", "5", "6", "7", "8", "9"}) {
        const QString text = QString::fromLatin1(key);
        QKeyEvent press(QEvent::KeyPress, Qt::Key_0 + (key[0] - '0'), Qt::NoModifier, text);
        QCoreApplication::sendEvent(money, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_0 + (key[0] - '0'), Qt::NoModifier, text);
        QCoreApplication::sendEvent(money, &release);
    }
    EXPECT_EQ(money->text(), QStringLiteral("1234567"));

    money->setText(QStringLiteral("-123456789"));
    EXPECT_EQ(money->text(), QStringLiteral("-123456789"));
}

TEST_F(MainWindowLayoutTest, LingeringBoxOffersOneToTen) {
    QStringList items;
    for (int i = 0; i < in<QComboBox>("cmbLingering")->count(); ++i)
        items << in<QComboBox>("cmbLingering")->itemText(i);
    EXPECT_EQ(items, (QStringList{"01", "02", "03", "04", "05", "06", "07", "08", "09", "10"}));
}

}  // namespace
}  // namespace vondrel
