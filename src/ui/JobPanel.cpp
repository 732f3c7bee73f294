#include "editing/Careers.h"
#include "ui/MainWindow.h"

namespace vondrel {

void MainWindow::wireJobs() {
    connect(imcJobIcon, &ImagePicker::userChose, this, &MainWindow::jobIconChosen);
    connect(imcJobs, &QComboBox::activated, this, [this](int) { titleChosen(); });
}

void MainWindow::jobIconChosen() {
    PersonRecord& p = current();
    const int item = imcJobIcon->selectedIndex();
    if (item < 1 || item > static_cast<int>(CareerTitleTable.size()))
        return;
    const CareerRow& row = CareerTitleTable[static_cast<std::size_t>(item - 1)];

    // Refilling the titles must not count as a choice of the player.
    const QSignalBlocker quiet(imcJobs);
    imcJobs->clear();
    for (int level = 0; level < row.titleCount; ++level) {
        imcJobs->addItem(QString::fromStdString(strings_.text(titleId(row, p.Sex, level))));
    }
    p.JobTrack = row.track;
    // Student and unemployed have one title; a career keeps the level across tracks. A level
    // the track does not have selects no title and keeps the stored level.
    const int level = row.track <= 0 ? 0 : p.JobLevel;
    if (level >= 0 && level < row.titleCount) {
        imcJobs->setCurrentIndex(level);
        p.JobLevel = static_cast<Integer>(level);
    } else {
        imcJobs->setCurrentIndex(-1);
    }
    p.Changed = kTrue;
    state.Saved = false;
}

void MainWindow::titleChosen() {
    const int level = imcJobs->currentIndex();
    if (level < 0)
        return;
    current().JobLevel = static_cast<Integer>(level);
    current().Changed = kTrue;
    state.Saved = false;
}

}  // namespace vondrel
