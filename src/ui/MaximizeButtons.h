#pragma once

#include <QObject>

#include "ui/DesignSurface.h"
#include "ui/EditorContext.h"

namespace vondrel {

// The two buttons that raise the person shown, or the person's whole household, to the best
// values, after asking about relationships and the best job.
class MaximizeButtons : public QObject {
    Q_OBJECT
  public:
    MaximizeButtons(DesignSurface& surface, EditorContext& context);

    void setCaptions();
    // Both buttons back to their normal face.
    void paintNormal();

  signals:
    void edited();

  private:
    void maximize(bool wholeFamily);

    EditorContext& context_;
    SkinnedButton maxVek_;
    SkinnedButton maxFam_;
};

}  // namespace vondrel
