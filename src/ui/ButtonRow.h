#pragma once

#include <QObject>
#include <array>

#include "ui/DesignSurface.h"
#include "ui/EditorContext.h"

namespace vondrel {

// The Save, Exit, Help and About buttons along the bottom of the window.
class ButtonRow : public QObject {
    Q_OBJECT
  public:
    ButtonRow(DesignSurface& surface, EditorContext& context);

    void setCaptions();
    // Every button back to its normal face.
    void paintNormal();
    // Only the Save button back to its normal face (the pointer went over a skin panel).
    void paintSaveNormal();

  signals:
    void saveClicked();
    void exitClicked();
    void helpClicked();
    void aboutClicked();

  private:
    EditorContext& context_;
    SkinnedButton save_, exit_, help_, about_;
};

}  // namespace vondrel
