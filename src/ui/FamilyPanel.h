#pragma once

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QObject>

#include "ui/DesignSurface.h"
#include "ui/EditorContext.h"

namespace vondrel {

// The household of the person shown: the family view (name, house, money) or, for a ghost,
// the house it lingers at, and the Ghost toggle between them.
class FamilyPanel : public QObject {
    Q_OBJECT
  public:
    FamilyPanel(DesignSurface& surface, EditorContext& context);

    void setCaptions();
    void show();
    // The ghost view is shown.
    bool ghostShown() const { return ghostShown_; }
    SkinnedButton& ghostButton() { return ghost_; }

  signals:
    void edited();

  private:
    void moneyTyped(const QString& text);

    EditorContext& context_;
    SkinnedButton ghost_;
    QLabel* familyNameCaption_;
    QLabel* familyName_;
    QLabel* houseCaption_;
    QLabel* house_;
    QLabel* moneyCaption_;
    QLineEdit* money_;
    QLabel* lingeringCaption_;
    QComboBox* lingeringHouse_;
    bool ghostShown_ = false;
};

}  // namespace vondrel
