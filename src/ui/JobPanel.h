#pragma once

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QObject>

#include "ui/DesignSurface.h"
#include "ui/EditorContext.h"
#include "ui/Gauge.h"
#include "ui/ImagePicker.h"

namespace vondrel {

// The career picker, the title picker and the performance bar of the person shown.
class JobPanel : public QObject {
    Q_OBJECT
  public:
    JobPanel(DesignSurface& surface, EditorContext& context);

    void setCaptions();
    void show();

  signals:
    void edited();

  private:
    void fillTitles(int item);
    // Moves the performance bar to `barValue` and stores it.
    void storePerformance(int barValue);

    EditorContext& context_;
    ImageList careerIcons_{QSize(33, 25), QColor(255, 0, 255)};
    QLabel* jobCaption_;
    QLabel* performanceCaption_;
    ImagePicker* careers_;
    QComboBox* titles_;
    Gauge* performance_;
    // The string id of the first title listed; 0 while the list is empty.
    int listedFirstTitle_ = 0;
};

}  // namespace vondrel
