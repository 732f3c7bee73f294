#include "ui/MainWindow.h"

#include <QCloseEvent>
#include <QFontMetrics>
#include <QPalette>
#include <cmath>

#include "base/Cp1252.h"
#include "ui/AttributeBars.h"
#include "ui/Design.h"

namespace vondrel {
namespace {

const QColor kNavy(7, 0, 128);

QPixmap picture(const char* name) {
    return QPixmap(QStringLiteral(":/resources/pictures/") + name + QStringLiteral(".png"));
}

QFont arialBold(double points) {
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(points);
    font.setBold(true);
    return font;
}

QRect placeOf(std::string_view name) {
    const design::Place* p = design::find(name);
    Q_ASSERT(p);
    return p->pixels();
}

void makeTransparentWhite(QLabel* label) {
    label->setAttribute(Qt::WA_TranslucentBackground);
    label->setAutoFillBackground(false);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Qt::white);
    label->setPalette(palette);
    label->setFont(arialBold(9.75));
}

// A label whose text needs more room than the design gave it grows (a centred one on both
// sides, a left-aligned one to the right), so no caption is cut off.
void fitText(QLabel* label) {
    const int needed = QFontMetrics(label->font()).horizontalAdvance(label->text()) + 2;
    const int extra = needed - label->width();
    if (extra <= 0 || (label->alignment() & Qt::AlignRight))
        return;
    const int left =
        label->alignment() & Qt::AlignHCenter ? label->x() - extra / 2 - 1 : label->x();
    label->setGeometry(left, label->y(), needed + 1, label->height());
}

// A bar label is sized to its text and ends at its right edge, level with the bar.
void placeBarLabel(QLabel* label, const design::BarLabel& where) {
    const int width = QFontMetrics(label->font()).horizontalAdvance(label->text()) + 2;
    const int right = where.rightEdge / design::kTwipsPerPixel;
    label->setGeometry(right - width, where.top / design::kTwipsPerPixel, width,
                       where.height / design::kTwipsPerPixel);
}

const char* const kSkinStyle =
    "QComboBox, QLineEdit { background: #0b0a5c; color: white; border: 1px solid #4f7bd8;"
    " border-radius: 2px; }"
    "QComboBox { padding: 0px 0px 0px 3px; }"
    "QComboBox:disabled, QLineEdit:disabled { color: #8088b8; }"
    "QComboBox::drop-down { width: 11px; border-left: 1px solid #4f7bd8; }"
    "QComboBox::down-arrow { image: url(:/resources/pictures/drop_arrow.png); }"
    "QComboBox QAbstractItemView { background: #0b0a5c; color: white;"
    " selection-background-color: #2f5bd0; }";

}  // namespace

MainWindow::MainWindow(WindowState& windowState, MessageBoxes& messages, const StringTable& strings)
    : QWidget(nullptr, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                           Qt::CustomizeWindowHint),
      state(windowState),
      imgFaces(QSize(25, 25), QColor(192, 192, 192)),
      imgJobs(QSize(33, 25), QColor(255, 0, 255)),
      messages_(messages),
      strings_(strings) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QString::fromLatin1(kWindowTitle));
    setWindowIcon(QIcon(picture("icon")));
    setFixedSize(design::kClientWidth / design::kTwipsPerPixel,
                 design::kClientHeight / design::kTwipsPerPixel);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, kNavy);
    setPalette(palette);
    setAutoFillBackground(true);
    setMouseTracking(true);
    setStyleSheet(QString::fromLatin1(kSkinStyle));
    build();
    wireButtons();
    wireBars();
    wirePersonView();
    wireJobs();
    wireRelationships();
    wireFamilyPanel();
    wireMaximize();
    wireSave();
}

QWidget* MainWindow::element(const QString& name) const {
    const auto it = elements_.find(name);
    return it == elements_.end() ? nullptr : it->second;
}

void MainWindow::build() {
    const auto named = [this](QWidget* w, const QString& name) {
        w->setObjectName(name);
        elements_[name] = w;
        return w;
    };
    const auto image = [&](const char* name, const char* pictureName, QRect where) {
        auto* label = new QLabel(this);
        label->setGeometry(where);
        label->setPixmap(picture(pictureName));
        named(label, QString::fromLatin1(name));
        return label;
    };
    const auto text = [&](const char* name, const char* stored) {
        auto* label = new QLabel(QString::fromLatin1(stored), this);
        label->setGeometry(placeOf(name));
        makeTransparentWhite(label);
        named(label, QString::fromLatin1(name));
        return label;
    };

    // Decoration on the window surface.
    image("imgDiv(0)", "divider_v360", placeOf("imgDiv(0)"));
    image("imgDiv(1)", "divider_h235", placeOf("imgDiv(1)"));
    image("imgDiv(2)", "divider_h235", placeOf("imgDiv(2)"));
    image("imgDiv(3)", "divider_h233", placeOf("imgDiv(3)"));
    image("imgDiv(4)", "divider_v90", placeOf("imgDiv(4)"));
    image("imgLogo", "logo", placeOf("imgLogo"));

    // Skinned buttons: three faces, the caption above them, the hit area above all.
    const auto button = [&](SkinnedButton& b, const char* faces, const char* facePrefix,
                            const char* caption, const char* stored, const char* hitArea) {
        static const char* const kStates[] = {"_normal", "_hover", "_pressed"};
        for (int i = 0; i < 3; ++i) {
            const QString name = QStringLiteral("%1(%2)").arg(QLatin1String(faces)).arg(i);
            QRect where = placeOf(faces);
            if (std::string_view(faces) == "imgGhost" && i == 2) {
                where = design::kGhostPressed.pixels();
            }
            b.faces[static_cast<std::size_t>(i)] = image(
                name.toLatin1().constData(), (std::string(facePrefix) + kStates[i]).c_str(), where);
            b.faces[static_cast<std::size_t>(i)]->setVisible(i == 0);
        }
        if (caption) {
            b.caption = text(caption, stored);
            b.caption->setAlignment(Qt::AlignCenter);
        }
        b.hitArea = new HitArea(this);
        b.hitArea->setGeometry(placeOf(hitArea));
        named(b.hitArea, QString::fromLatin1(hitArea));
    };
    button(save, "imgSave", "button", "lblSave", "Save", "btnSave");
    button(exit, "imgExit", "button", "lblExit", "Exit", "btnExit");
    button(help, "imgHelp", "button", "lblHelp", "Help", "btnHelp");
    button(about, "imgAbout", "button", "lblAbout", "About", "btnAbout");
    button(ghost, "imgGhost", "ghost", "lblGhost", "Ghost", "btnGhost");
    button(maxVek, "pctMaxVek", "maxvek", nullptr, nullptr, "imgMaxVEK");
    button(maxFam, "pctMaxFAM", "maxfam", nullptr, nullptr, "imgMaxFAM");

    // Labels on the window surface.
    lblSelectyourVek = text("lblSelectyourVek", "Select your Vek:");
    lblAttributes = text("lblAttributes", "Attributes:");
    lblAbilities = text("lblAbilities", "Abilities:");
    lblRelationships = text("lblRelationships", "Relationships:");
    lblJob = text("lblJob", "Job:");
    lblPerf = text("lblPerf", "Perf.:");
    lbllFamName = text("lbllFamName", "Fam. Name:");
    lblFamName = text("lblFamName", "");
    lblFamName->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lbllAddress = text("lbllAddress", "Address:");
    lblAddress = text("lblAddress", "");
    lblAddress->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblMoney = text("lblMoney", "Money:");
    lblLingering = text("lblLingering", "Add:");

    // Skin panels.
    static const char* const kPanelPictures[] = {"panel_picker", "panel_attributes",
                                                 "panel_attributes", "panel_job", "panel_picker"};
    for (int i = 0; i < 5; ++i) {
        const QString name = QStringLiteral("pctUI(%1)").arg(i);
        auto* panel = new PictureBox(this);
        panel->setGeometry(placeOf(name.toStdString()));
        panel->setPixmap(picture(kPanelPictures[i]));
        named(panel, name);
        pctUI[static_cast<std::size_t>(i)] = panel;
    }

    txtFundo = new QLineEdit(pctUI[3]);
    txtFundo->setGeometry(design::find("txtFundo")->pixels());
    txtFundo->setReadOnly(true);
    txtFundo->setFocusPolicy(Qt::NoFocus);
    txtFundo->setFrame(false);
    named(txtFundo, QStringLiteral("txtFundo"));

    // Attribute bars, with their labels inside the panels.
    bars = {{{"Neat", &PersonRecord::Neat},
             {"Outgoing", &PersonRecord::Outgoing},
             {"Active", &PersonRecord::Active},
             {"Playful", &PersonRecord::Playful},
             {"Nice", &PersonRecord::Nice},
             {"Cleaning", &PersonRecord::Cleaning},
             {"Cooking", &PersonRecord::Cooking},
             {"Mechanical", &PersonRecord::Mechanical},
             {"Charisma", &PersonRecord::Charisma},
             {"Body", &PersonRecord::Body},
             {"Logic", &PersonRecord::Logic},
             {"Creativity", &PersonRecord::Creativity}}};
    const QPixmap barEmpty = picture("bar_empty");
    const QPixmap barFull = picture("bar_full");
    for (std::size_t i = 0; i < bars.size(); ++i) {
        AttributeBar& bar = bars[i];
        bar.label =
            new QLabel(QString::fromLatin1(bar.name) + QLatin1Char(':'), pctUI[i < 6 ? 1 : 2]);
        makeTransparentWhite(bar.label);
        placeBarLabel(bar.label, design::kBarLabels[i]);
        named(bar.label, QStringLiteral("lbl") + QLatin1String(bar.name));
        bar.gauge = new Gauge(this);
        const std::string gaugeName = std::string("prg") + bar.name;
        bar.gauge->setGeometry(placeOf(gaugeName));
        bar.gauge->setMaximum(10);
        bar.gauge->setCaptionVisible(false);
        bar.gauge->setPictures(barEmpty, barFull);
        named(bar.gauge, QString::fromStdString(gaugeName));
    }

    // Person picker.
    imcFaces = new ImagePicker(this);
    imcFaces->setGeometry(placeOf("imcFaces"));
    imcFaces->setImageList(&imgFaces);
    imcFaces->setFont(arialBold(9.75));
    named(imcFaces, QStringLiteral("imcFaces"));

    // Relationships.
    imcRelationship = new ImagePicker(this);
    imcRelationship->setGeometry(placeOf("imcRelationship"));
    imcRelationship->setImageList(&imgFaces);
    imcRelationship->setFont(arialBold(9.75));
    named(imcRelationship, QStringLiteral("imcRelationship"));
    const QPixmap gaugeBack = picture("gauge_back");
    const auto feelGauge = [&](const char* name, QColor fill) {
        auto* g = new Gauge(this);
        g->setGeometry(placeOf(name));
        g->setMaximum(200);
        g->setBackColor(kNavy);
        g->setFillColor(fill);
        g->setBackPicture(gaugeBack);
        g->setCaptionFont(arialBold(9.75));
        named(g, QString::fromLatin1(name));
        return g;
    };
    prgYFeel = feelGauge("prgYFeel", Qt::white);
    prgSFeel = feelGauge("prgSFeel", QColor(0, 0, 255));
    pctLove = picture("love");
    pctNoLove = picture("nolove");
    pctUnknown = picture("unknown_face");
    chkYLove = new PictureBox(this);
    chkYLove->setGeometry(placeOf("chkYLove"));
    chkYLove->setPixmap(pctNoLove);
    chkYLove->setToolTip(QStringLiteral("You love this Vek ?"));
    named(chkYLove, QStringLiteral("chkYLove"));
    chkSLove = new PictureBox(this);
    chkSLove->setGeometry(placeOf("chkSLove"));
    chkSLove->setPixmap(pctNoLove);
    chkSLove->setToolTip(QStringLiteral("This Vek love you ?"));
    named(chkSLove, QStringLiteral("chkSLove"));

    // Job.
    for (int i = 1; i <= 12; ++i) {
        imgJobs.add(picture(
            QStringLiteral("job_%1").arg(i, 2, 10, QLatin1Char('0')).toLatin1().constData()));
    }
    imcJobIcon = new ImagePicker(this);
    imcJobIcon->setGeometry(placeOf("imcJobIcon"));
    imcJobIcon->setImageList(&imgJobs);
    imcJobIcon->setIconSize(QSize(33, 25));
    imcJobIcon->setFont(arialBold(8.25));
    named(imcJobIcon, QStringLiteral("imcJobIcon"));
    imcJobs = new QComboBox(this);
    imcJobs->setGeometry(placeOf("imcJobs"));
    imcJobs->setFont(arialBold(9));
    named(imcJobs, QStringLiteral("imcJobs"));
    prgPerf = new Gauge(this);
    prgPerf->setGeometry(placeOf("prgPerf"));
    prgPerf->setMaximum(200);
    prgPerf->setBackColor(kNavy);
    prgPerf->setFillColor(QColor(0, 0, 255));
    prgPerf->setBackPicture(gaugeBack);
    prgPerf->setCaptionFont(arialBold(9.75));
    prgPerf->setValue(200);
    named(prgPerf, QStringLiteral("prgPerf"));

    // Family.
    txtMoney = new QLineEdit(QStringLiteral("9999999"), this);
    txtMoney->setGeometry(placeOf("txtMoney"));
    txtMoney->setMaxLength(7);
    named(txtMoney, QStringLiteral("txtMoney"));
    cmbLingering = new QComboBox(this);
    cmbLingering->setGeometry(placeOf("cmbLingering"));
    for (int i = 1; i <= 10; ++i)
        cmbLingering->addItem(QStringLiteral("%1").arg(i, 2, 10, QLatin1Char('0')));
    named(cmbLingering, QStringLiteral("cmbLingering"));

    // The hit areas of the buttons stay above everything drawn on the surface.
    for (SkinnedButton* b : {&save, &exit, &help, &about, &ghost, &maxVek, &maxFam}) {
        b->hitArea->raise();
    }
    setTabOrder(imcFaces, imcRelationship);
    imcFaces->setFocus();
}

void MainWindow::setCaptions() {
    const auto caption = [this](QLabel* label, int id) {
        label->setText(QString::fromStdString(strings_.text(id)));
        fitText(label);
    };
    caption(lblSelectyourVek, 101);
    maxVek.hitArea->setToolTip(QString::fromStdString(strings_.text(102)));
    maxFam.hitArea->setToolTip(QString::fromStdString(strings_.text(103)));
    caption(lblAttributes, 104);
    caption(lblAbilities, 105);
    for (std::size_t i = 0; i < bars.size(); ++i) {
        caption(bars[i].label, 106 + static_cast<int>(i));
        placeBarLabel(bars[i].label, design::kBarLabels[i]);
    }
    caption(lblRelationships, 118);
    prgYFeel->setToolTip(QString::fromStdString(strings_.text(119)));
    prgSFeel->setToolTip(QString::fromStdString(strings_.text(120)));
    caption(lbllFamName, 121);
    caption(lbllAddress, 122);
    caption(lblMoney, 123);
    caption(ghost.caption, 124);
    caption(save.caption, 125);
    caption(exit.caption, 126);
    caption(help.caption, 127);
    caption(about.caption, 128);
    caption(lblJob, 143);
    caption(lblPerf, 144);
}

bool MainWindow::askExit() {
    std::string text = strings_.text(text::AreYouSure);
    if (!state.Saved)
        text += "\n" + strings_.text(text::LoseChanges);
    return messages_.show(text, MessageIcon::Question, MessageButtons::YesNo) == MessageAnswer::Yes;
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (leaving_ || askExit()) {
        leaving_ = true;
        event->accept();
        emit exitConfirmed();
    } else {
        event->ignore();
    }
}

void MainWindow::mouseMoveEvent(QMouseEvent*) {
    Botao(maxFam, Normal);
    Botao(maxVek, Normal);
    for (SkinnedButton* b : {&save, &exit, &help, &about})
        Botao(*b, Normal);
    Botao(ghost, state.GhostShown ? Pressed : Normal);
}

void MainWindow::wireButtons() {
    std::array<SkinnedButton*, 4> bottom = {&save, &exit, &help, &about};
    for (SkinnedButton* b : bottom) {
        connect(static_cast<HitArea*>(b->hitArea), &HitArea::pressed, this,
                [b](int) { Botao(*b, Pressed); });
        connect(static_cast<HitArea*>(b->hitArea), &HitArea::released, this,
                [b](int) { Botao(*b, Hover); });
        connect(static_cast<HitArea*>(b->hitArea), &HitArea::moved, this, [b, bottom](int buttons) {
            for (SkinnedButton* other : bottom) {
                if (other != b)
                    Botao(*other, Normal);
            }
            Botao(*b, buttons == 1 ? Pressed : Hover);
        });
    }
    const auto maximize = [this](SkinnedButton* own, SkinnedButton* other) {
        auto* area = static_cast<HitArea*>(own->hitArea);
        connect(area, &HitArea::pressed, this, [own](int) { Botao(*own, Pressed); });
        connect(area, &HitArea::released, this, [own](int) { Botao(*own, Hover); });
        connect(area, &HitArea::moved, this, [own, other](int buttons) {
            Botao(*other, Normal);
            Botao(*own, buttons == 1 ? Pressed : Hover);
        });
    };
    maximize(&maxVek, &maxFam);
    maximize(&maxFam, &maxVek);
    for (PictureBox* panel : pctUI) {
        connect(panel, &PictureBox::moved, this, [this](int) { Botao(save, Normal); });
    }
    connect(static_cast<HitArea*>(help.hitArea), &HitArea::clicked, this, &MainWindow::helpClicked);
    connect(static_cast<HitArea*>(about.hitArea), &HitArea::clicked, this,
            &MainWindow::aboutClicked);
    connect(static_cast<HitArea*>(exit.hitArea), &HitArea::clicked, this, [this] {
        if (askExit()) {
            leaving_ = true;
            emit exitConfirmed();
        }
    });
}

void MainWindow::storeBar(AttributeBar& bar) {
    current().*bar.field = static_cast<Integer>(bar.gauge->value() * 100);
    state.Saved = false;
    current().Changed = kTrue;
}

void MainWindow::wireBars() {
    for (AttributeBar& bar : bars) {
        Gauge* gauge = bar.gauge;
        const auto follow = [gauge](int buttons, int, double x, double) {
            if (buttons != 1)
                return;
            gauge->setValue(barValueAt(x, static_cast<float>(gauge->width()), gauge->maximum()));
        };
        connect(gauge, &Gauge::mouseMoved, this, follow);
        connect(gauge, &Gauge::mouseReleased, this, follow);
        connect(gauge, &Gauge::clicked, this, [this, &bar] { storeBar(bar); });
    }
    connect(prgPerf, &Gauge::mouseMoved, this, [this](int buttons, int, double x, double) {
        if (buttons != 1) {
            prgPerf->setPointerShape(Gauge::kDefaultPointer);
            return;
        }
        prgPerf->setPointerShape(Gauge::kHorizontalResizePointer);
        prgPerf->setValue(barValueAt(x, static_cast<float>(prgPerf->width()), prgPerf->maximum()));
    });
    // The performance bar stores its value whenever it asks for its caption.
    connect(prgPerf, &Gauge::captionRequested, this, [this](QString& caption, int value) {
        if (const int id = performanceTextId(value)) {
            caption = QString::fromStdString(strings_.text(id));
        }
        current().JobPerformance = static_cast<Integer>(prgPerf->value() - 100);
        state.Saved = false;
        current().Changed = kTrue;
    });
}

}  // namespace vondrel
