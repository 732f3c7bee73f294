#include "editing/Maximize.h"
#include "ui/MainWindow.h"

namespace vondrel {
namespace {

constexpr int kAskRelationships = 135;
constexpr int kAskBestJob = 136;
constexpr int kFullFeeling = 200;
constexpr int kFullPerformance = 200;

}  // namespace

void MainWindow::wireMaximize() {
    const auto ask = [this](int id) {
        return messages_.show(strings_.text(id), MessageIcon::Question, MessageButtons::YesNo) ==
               MessageAnswer::Yes;
    };
    const auto showFullFeelings = [this] {
        prgYFeel->setValue(kFullFeeling);
        prgSFeel->setValue(kFullFeeling);
    };
    // The best job on the job controls, for the current person: the track's icon and its
    // titles, the top title chosen, and the best performance.
    const auto showBestJob = [this] {
        imcJobIcon->select(kBestJobItem);
        jobIconChosen();
        imcJobs->setCurrentIndex(kBestJobLevel);
        titleChosen();
        prgPerf->setValue(kFullPerformance);
    };
    const auto showFullAttributes = [this] {
        for (AttributeBar& bar : bars)
            bar.gauge->setValue(kBestAttribute / 100);
    };

    // The current person.
    connect(static_cast<HitArea*>(maxVek.hitArea), &HitArea::clicked, this,
            [this, ask, showFullFeelings, showBestJob] {
                const int id = state.currentIndex();
                PersonRecord& p = current();
                for (AttributeBar& bar : bars) {
                    p.*bar.field = kBestAttribute;
                    bar.gauge->setValue(kBestAttribute / 100);
                }
                if (ask(kAskRelationships)) {
                    showFullFeelings();
                    for (const int other : maximizeRelationships(state.persons, id))
                        state.persons[other].Changed = kTrue;
                }
                if (ask(kAskBestJob)) {
                    giveBestJob(p);
                    showBestJob();
                }
                p.Changed = kTrue;
                state.Saved = false;
            });

    // The current person's family. Both questions come first: nothing is stored before
    // they are answered.
    connect(static_cast<HitArea*>(maxFam.hitArea), &HitArea::clicked, this,
            [this, ask, showFullFeelings, showBestJob, showFullAttributes] {
                showFullAttributes();
                const bool relationships = ask(kAskRelationships);
                const bool bestJob = ask(kAskBestJob);
                for (const int id : familyMembers(state.persons, current().FamilyName)) {
                    PersonRecord& member = state.persons[id];
                    if (member.FirstName.empty())
                        continue;  // no person was loaded into this slot
                    maximizeAttributes(member);
                    if (relationships) {
                        showFullFeelings();
                        for (const int other : maximizeRelationships(state.persons, id))
                            state.persons[other].Changed = kTrue;
                    }
                    if (bestJob) {
                        giveBestJob(member);
                        showBestJob();
                    }
                    member.Changed = kTrue;
                }
                state.Saved = false;
            });
}

}  // namespace vondrel
