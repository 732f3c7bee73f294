#pragma once

#include <QLabel>
#include <QObject>
#include <QPixmap>

#include "ui/DesignSurface.h"
#include "ui/EditorContext.h"
#include "ui/Gauge.h"
#include "ui/ImagePicker.h"
#include "ui/SurfaceWidgets.h"

namespace vondrel {

// The relationships of the person shown: the list of persons it has an entry for, and for
// the chosen one the feelings and love flags in both directions.
class RelationshipPanel : public QObject {
    Q_OBJECT
  public:
    RelationshipPanel(DesignSurface& surface, EditorContext& context);

    void setCaptions();
    // Rebuilds the list for the current person and chooses its first entry.
    void showPerson();
    // Shows the chosen pair again, keeping the choice.
    void show();

    // What the two love pictures show: the current person loves the other one (You), the
    // other one loves the current person (S).
    bool youLoveShown() const { return youLoveShown_; }
    bool theyLoveShown() const { return theyLoveShown_; }

  signals:
    void edited();

  private:
    void showYouLove(bool loves);
    void showTheyLove(bool loves);
    void drag(Gauge* gauge, int buttons, double x);
    // Moves a feeling gauge to `barValue` and stores the feeling it shows.
    void store(Gauge* gauge, int barValue);
    void loveClicked(bool youTowardThem);

    EditorContext& context_;
    QLabel* caption_;
    ImagePicker* others_;
    Gauge* yourFeeling_;
    Gauge* theirFeeling_;
    PictureBox* youLove_;
    PictureBox* theyLove_;
    QPixmap love_, noLove_;
    bool youLoveShown_ = false;
    bool theyLoveShown_ = false;
};

}  // namespace vondrel
