#pragma once

#include <QLabel>
#include <QObject>
#include <array>

#include "ui/DesignSurface.h"
#include "ui/EditorContext.h"
#include "ui/Gauge.h"
#include "ui/ImagePicker.h"
#include "ui/SurfaceWidgets.h"

namespace vondrel {

// The person picker and the twelve personality and skill bars of the person shown.
class PersonView : public QObject {
    Q_OBJECT
  public:
    PersonView(DesignSurface& surface, EditorContext& context);

    void setCaptions();
    // Fills the picker from the household's entries; nothing is chosen yet.
    void fillPicker();
    // Chooses the entry of `id` in the picker (as code, not as the user).
    bool select(int id);
    // The bars from the current person.
    void show();

    ImagePicker* picker() const { return picker_; }
    Gauge* bar(Attribute attribute) const { return bars_[static_cast<std::size_t>(attribute)]; }

  signals:
    // The user chose a person in the picker.
    void personChosen(int id);
    void edited();

  private:
    EditorContext& context_;
    QLabel* pickerCaption_;
    ImagePicker* picker_;
    QLabel* attributesCaption_;
    QLabel* abilitiesCaption_;
    std::array<Gauge*, kAttributeCount> bars_{};
    std::array<QLabel*, kAttributeCount> labels_{};
};

}  // namespace vondrel
