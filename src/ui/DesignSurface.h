#pragma once

#include <QFont>
#include <QLabel>
#include <QPixmap>
#include <QString>
#include <map>
#include <string_view>

#include "ui/SkinnedButton.h"

namespace vondrel {

// The window's surface as its design lays it out: every element is created at its design
// place under the name the design gives it, so panels and tests can find it by that name.
class DesignSurface {
  public:
    explicit DesignSurface(QWidget* window) : window_(window) {}

    QWidget* window() const { return window_; }
    // The element called `name`, nullptr when there is none.
    QWidget* element(const QString& name) const;
    // Registers `widget` under `name` and gives it that object name.
    template <typename W>
    W* named(W* widget, std::string_view name) {
        add(widget, name);
        return widget;
    }
    // A widget of type W on the window at the design place of `name`.
    template <typename W>
    W* placed(std::string_view name) {
        auto* widget = new W(window_);
        widget->setGeometry(placeOf(name));
        return named(widget, name);
    }
    // A picture element at `where` (the design place of `name` when empty).
    QLabel* image(std::string_view name, const char* pictureName, QRect where = {});
    // A white, transparent caption in the window's label font.
    QLabel* text(std::string_view name, const char* stored, QWidget* parent = nullptr);
    // A skinned button: three faces, the caption above them (when it has one), the hit area
    // above both.
    SkinnedButton button(const char* faces, const char* facePrefix, const char* caption,
                         const char* stored, const char* hitArea);

    static QRect placeOf(std::string_view name);

  private:
    void add(QWidget* widget, std::string_view name);

    QWidget* window_;
    std::map<QString, QWidget*> elements_;
};

QPixmap skinPicture(const char* name);
QFont arialBold(double points);
void makeTransparentWhite(QLabel* label);
// A label whose text needs more room than the design gave it grows (a centred one on both
// sides, a left-aligned one to the right), so no caption is cut off.
void fitText(QLabel* label);

}  // namespace vondrel
