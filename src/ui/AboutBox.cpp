#include "ui/AboutBox.h"

#include <QCloseEvent>
#include <QFontMetrics>
#include <QPainter>
#include <QPalette>

#include "ui/Design.h"
#include "ui/MainWindow.h"

namespace vondrel {
namespace {

// The window's client area and the places of its controls, in twips.
constexpr design::Place kClient{"frmAbout", 0, 0, 5730, 4230};
constexpr design::Place kTitle{"lblTitle", 923, 240, 3885, 480};
constexpr design::Place kIcon{"picIcon", 240, 240, 480, 480};
constexpr design::Place kViewport{"Picture1", 690, 960, 4380, 2565};
constexpr design::Place kCredits{"Label1", 30, 2475, 4275, 690, "Picture1"};
constexpr design::Place kOk{"cmdOK", 4245, 3810, 1260, 345};

// The etched separator above the button: a white line two pixels wide under a grey one.
struct Line {
    int x1, y1, x2, y2;
};
constexpr Line kLightLine{105, 3645, 5654, 3645};
constexpr Line kDarkLine{90, 3630, 5654, 3630};

const QColor kBackground(7, 0, 128);
constexpr int kScrollStep = 2;
constexpr int kTickMilliseconds = 100;

QFont arial(double points, bool bold) {
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

void setColors(QWidget* widget, const QColor& text, const QColor& back) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::Window, back);
    widget->setPalette(palette);
}

int px(int twips) {
    return twips / design::kTwipsPerPixel;
}

}  // namespace

QStringList aboutCreditLines() {
    const QString quote(QChar(0x22));
    QStringList lines;
    lines << QStringLiteral("Vondrel V0.40") << QString();

    lines << QStringLiteral("Programmed by:") << QStringLiteral("The Vondrel developers")
          << QString() << QString();

    lines << QStringLiteral("Many thanks for:");
    for (const char* credit :
         {"The Vondrel developers (skin pictures)", "Contributor One (character file notes)",
          "Contributor Two (neighbourhood file notes)", "Contributor Three (help file)"}) {
        lines << QString::fromLatin1(credit) << QString();
    }
    lines << QString();

    lines << QStringLiteral("To all BETA testers:");
    lines << QStringLiteral("Tester ") + quote + QStringLiteral("Ace") + quote +
                 QStringLiteral(" Eight");
    for (const char* tester :
         {"Tester Eleven", "Tester Five", "Tester Four", "Tester Fourteen", "Tester Nine",
          "Tester One", "Tester Seven", "Tester Six", "Tester Ten", "Tester Thirteen",
          "Tester Three", "Tester Twelve", "Tester Two"}) {
        lines << QString::fromLatin1(tester);
    }
    lines << QString();

    lines << QStringLiteral("and All others 28 BETA testers!") << QString() << QString();
    return lines;
}

QString aboutCredits() {
    return aboutCreditLines().join(QLatin1Char('\n'));
}

AboutBox::AboutBox(QWidget* mainWindow)
    : QDialog(mainWindow, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                              Qt::MSWindowsFixedSizeDialogHint),
      mainWindow_(mainWindow) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About Vondrel"));
    setFixedSize(kClient.pixels().size());
    setModal(false);
    setAutoFillBackground(true);
    setColors(this, Qt::white, kBackground);

    lblTitle = new QLabel(QStringLiteral("Vondrel V0.40"), this);
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    lblTitle->setGeometry(kTitle.pixels());
    lblTitle->setFont(arial(9.75, true));
    // Centred on the icon's height beside it.
    lblTitle->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setColors(lblTitle, Qt::white, kBackground);

    picIcon = new QLabel(this);
    picIcon->setObjectName(QStringLiteral("picIcon"));
    picIcon->setGeometry(kIcon.pixels());
    picIcon->setAutoFillBackground(true);
    setColors(picIcon, Qt::white, kBackground);
    picIcon->setPixmap(QPixmap(QStringLiteral(":/resources/pictures/icon.png")));
    picIcon->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    // The viewport clips the credits label, which moves inside it.
    Picture1 = new QWidget(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setGeometry(kViewport.pixels());
    Picture1->setAutoFillBackground(true);
    setColors(Picture1, Qt::white, Qt::black);

    Label1 = new QLabel(Picture1);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(kCredits.pixels());
    Label1->setFont(arial(9, true));
    Label1->setTextFormat(Qt::PlainText);
    Label1->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Label1->setAutoFillBackground(false);
    setColors(Label1, Qt::white, Qt::black);

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setGeometry(kOk.pixels());
    cmdOK->setDefault(true);
    cmdOK->setAutoDefault(true);
    // The button keeps the system's look on the coloured window.
    cmdOK->setPalette(QPalette());
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(kTickMilliseconds);
    connect(Timer1, &QTimer::timeout, this, &AboutBox::tick);

    if (mainWindow) {
        const QRect owner = mainWindow->frameGeometry();
        move(owner.center() - rect().center());
    }

    // Load: the main window goes out of reach first.
    if (mainWindow_) {
        mainWindow_->setEnabled(false);
        mainWindow_->hide();
    }
    // A window inherits its owner's disabled state; the box itself must stay usable.
    setEnabled(true);

    setFont(arial(9, false));
    const QString text = aboutCredits();
    Label1->setText(text);
    const int height = QFontMetrics(Label1->font()).size(0, text).height();
    Label1->setGeometry(Label1->x(), viewportHeight(), Label1->width(), height);
    Timer1->start();
    cmdOK->setFocus();
}

int AboutBox::viewportHeight() const {
    return Picture1->height();
}

void AboutBox::tick() {
    int top = Label1->y() - kScrollStep;
    if (top + Label1->height() <= 0)
        top = viewportHeight();
    Label1->move(Label1->x(), top);
}

void AboutBox::restoreMainWindow() {
    Timer1->stop();
    if (mainWindow_) {
        mainWindow_->setEnabled(true);
        mainWindow_->show();
    }
}

void AboutBox::done(int result) {
    // OK, Enter and Esc all end here.
    restoreMainWindow();
    QDialog::done(result);
}

void AboutBox::closeEvent(QCloseEvent* event) {
    // The window's close button and every other close bring the main window back too, so
    // the program is never left without a visible window.
    restoreMainWindow();
    QDialog::closeEvent(event);
}

void AboutBox::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    QPainter painter(this);
    painter.fillRect(QRect(QPoint(px(kDarkLine.x1), px(kDarkLine.y1)),
                           QPoint(px(kDarkLine.x2), px(kDarkLine.y2))),
                     QColor(128, 128, 128));
    painter.fillRect(QRect(QPoint(px(kLightLine.x1), px(kLightLine.y1)),
                           QPoint(px(kLightLine.x2), px(kLightLine.y2) + 1)),
                     Qt::white);
}

void MainWindow::aboutClicked() {
    // Each opening gets a fresh box, so the credits start again from the bottom.
    for (AboutBox* old : findChildren<AboutBox*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (old->isVisible())
            old->close();
    }
    auto* box = new AboutBox(this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->show();
}

}  // namespace vondrel
