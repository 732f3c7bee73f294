#include "ui/DesignSurface.h"

#include <QFontMetrics>
#include <QPalette>

#include "ui/Design.h"
#include "ui/SurfaceWidgets.h"

namespace vondrel {

QPixmap skinPicture(const char* name) {
    return QPixmap(QStringLiteral(":/resources/pictures/") + QLatin1String(name) +
                   QStringLiteral(".png"));
}

QFont arialBold(double points) {
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(points);
    font.setBold(true);
    return font;
}

void makeTransparentWhite(QLabel* label) {
    label->setAttribute(Qt::WA_TranslucentBackground);
    label->setAutoFillBackground(false);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Qt::white);
    label->setPalette(palette);
    label->setFont(arialBold(9.75));
}

void fitText(QLabel* label) {
    const int needed = QFontMetrics(label->font()).horizontalAdvance(label->text()) + 2;
    const int extra = needed - label->width();
    if (extra <= 0 || (label->alignment() & Qt::AlignRight))
        return;
    const int left =
        label->alignment() & Qt::AlignHCenter ? label->x() - extra / 2 - 1 : label->x();
    label->setGeometry(left, label->y(), needed + 1, label->height());
}

QRect DesignSurface::placeOf(std::string_view name) {
    const design::Place* p = design::find(name);
    Q_ASSERT(p);
    return p ? p->pixels() : QRect();
}

QWidget* DesignSurface::element(const QString& name) const {
    const auto it = elements_.find(name);
    return it == elements_.end() ? nullptr : it->second;
}

void DesignSurface::add(QWidget* widget, std::string_view name) {
    const QString key = QString::fromLatin1(name.data(), static_cast<int>(name.size()));
    widget->setObjectName(key);
    elements_[key] = widget;
}

QLabel* DesignSurface::image(std::string_view name, const char* pictureName, QRect where) {
    auto* label = new QLabel(window_);
    label->setGeometry(where.isNull() ? placeOf(name) : where);
    label->setPixmap(skinPicture(pictureName));
    return named(label, name);
}

QLabel* DesignSurface::text(std::string_view name, const char* stored, QWidget* parent) {
    auto* label = new QLabel(QString::fromLatin1(stored), parent ? parent : window_);
    if (!parent)
        label->setGeometry(placeOf(name));
    makeTransparentWhite(label);
    return named(label, name);
}

SkinnedButton DesignSurface::button(const char* faces, const char* facePrefix, const char* caption,
                                    const char* stored, const char* hitArea) {
    static const char* const kStates[] = {"_normal", "_hover", "_pressed"};
    SkinnedButton b;
    for (int i = 0; i < 3; ++i) {
        const std::string name = std::string(faces) + "(" + std::to_string(i) + ")";
        QRect where = placeOf(faces);
        if (std::string_view(faces) == "imgGhost" && i == 2)
            where = design::kGhostPressed.pixels();
        QLabel* face = image(name, (std::string(facePrefix) + kStates[i]).c_str(), where);
        face->setVisible(i == 0);
        b.faces[static_cast<std::size_t>(i)] = face;
    }
    if (caption) {
        b.caption = text(caption, stored);
        b.caption->setAlignment(Qt::AlignCenter);
    }
    b.hitArea = placed<HitArea>(hitArea);
    return b;
}

}  // namespace vondrel
