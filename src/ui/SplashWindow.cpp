#include "ui/SplashWindow.h"

#include <QGuiApplication>
#include <QPalette>
#include <QScreen>

#include "ui/Design.h"

#ifndef VONDREL_VERSION
#define VONDREL_VERSION "0.40.0"
#endif

namespace vondrel {
namespace {

QRect place(int left, int top, int width, int height) {
    return design::Place{"", left, top, width, height}.pixels();
}

QLabel* textLabel(QWidget* parent, QRect where, double points, Qt::Alignment align) {
    auto* label = new QLabel(parent);
    label->setGeometry(where);
    QFont font("Arial");
    font.setPointSizeF(points);
    font.setBold(true);
    label->setFont(font);
    label->setAlignment(align | Qt::AlignVCenter);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Qt::white);
    label->setPalette(palette);
    return label;
}

}  // namespace

QString versionText() {
    return QStringLiteral(VONDREL_VERSION);
}

SplashWindow::SplashWindow()
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint) {
    setObjectName("frmSplash");
    setWindowTitle("Vondrel");
    const QRect client = place(0, 0, 9435, 5550);
    setFixedSize(client.size());

    auto* background = new QLabel(this);
    background->setGeometry(client);
    background->setPixmap(QPixmap(":/resources/pictures/splash.png"));
    background->setScaledContents(true);

    prgProgress = new Gauge(this);
    prgProgress->setObjectName("prgProgress");
    prgProgress->setGeometry(place(120, 5265, 9255, 210));
    prgProgress->setCaptionVisible(false);
    prgProgress->setBackColor(QColor(10, 10, 40));
    const QPixmap fill(":/resources/pictures/splash_fill.png");
    QPixmap empty(fill.size());
    empty.fill(QColor(10, 10, 40));
    prgProgress->setPictures(empty, fill);

    lblVersion = textLabel(this, place(60, 4755, 3165, 420), 14.25, Qt::AlignLeft);
    lblVersion->setObjectName("lblVersion");
    lblWait = textLabel(this, place(60, 4770, 9330, 360), 15.75, Qt::AlignHCenter);
    lblWait->setObjectName("lblWait");

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
}

void SplashWindow::setStatus(const QString& text) {
    lblWait->setText(text);
    if (isVisible())
        repaint();
}

}  // namespace vondrel
