#include "ui/AttributeBars.h"
#include "ui/MainWindow.h"

namespace vondrel {
namespace {

// Set on a feeling gauge while it shows that its direction has no relationship; its caption
// then reads "No relationships!" instead of the feeling.
const char* const kShowsNoRelationship = "showsNoRelationship";

// The usable width of both feeling gauges in pointer pixels, a little less than their drawn
// width; a drag maps 0..188 onto 0..200.
constexpr float kFeelingWidth = 188.0F;

constexpr QLatin1String kRejectedMark("*UNK*");

// Feelings run from -100 to 100 and sit on the gauge shifted by 100.
constexpr int kFeelingOffset = 100;

bool showsNoRelationship(const Gauge* gauge) {
    return gauge->property(kShowsNoRelationship).toBool();
}

// The feeling of one direction, or the middle of the gauge with the no-relationship caption.
void showFeeling(Gauge* gauge, Long feeling, bool hasRelation) {
    gauge->setProperty(kShowsNoRelationship, !hasRelation);
    gauge->setValue(hasRelation ? static_cast<int>(feeling) + kFeelingOffset : kFeelingOffset);
}

}  // namespace

void MainWindow::wireRelationships() {
    connect(imcRelationship, &ImagePicker::userChose, this, &MainWindow::relationshipChosen);

    const QString noRelationships = QString::fromStdString(strings_.text(137));
    // The entry a person without relationships gets names nobody: it resolves to record 0,
    // which must not be edited through it.
    const auto onPlaceholder = [this, noRelationships] {
        return imcRelationship->text() == noRelationships;
    };

    for (Gauge* gauge : {prgYFeel, prgSFeel}) {
        connect(gauge, &Gauge::captionRequested, this,
                [gauge, noRelationships](QString& caption, int value) {
                    caption = showsNoRelationship(gauge) ? noRelationships
                                                         : QString::number(value - kFeelingOffset);
                });
    }

    const auto drag = [this](Gauge* gauge, int buttons, double x) {
        // A gauge that cannot be edited takes no drag, even when a notification reaches it.
        if (!gauge->isEnabled())
            return;
        if (buttons != 1) {
            gauge->setPointerShape(Gauge::kDefaultPointer);
            return;
        }
        gauge->setPointerShape(Gauge::kHorizontalResizePointer);
        gauge->setProperty(kShowsNoRelationship, false);
        gauge->setValue(barValueAt(static_cast<float>(x), kFeelingWidth, gauge->maximum()));

        const int s = personIdOf(imcFaces->text());
        const int o = personIdOf(imcRelationship->text());
        const Long feeling = gauge->value() - kFeelingOffset;
        // Each direction is the view of the person who holds it.
        const int holder = gauge == prgYFeel ? s : o;
        const int other = gauge == prgYFeel ? o : s;
        state.persons[holder].Relation[other] = feeling;
        state.persons[holder].Changed = kTrue;
        state.Saved = false;
    };
    connect(prgYFeel, &Gauge::mouseMoved, this,
            [this, drag](int buttons, int, double x, double) { drag(prgYFeel, buttons, x); });
    connect(prgSFeel, &Gauge::mouseMoved, this,
            [this, drag](int buttons, int, double x, double) { drag(prgSFeel, buttons, x); });

    // A love check toggles what its picture shows, for a direction that has a relationship.
    const auto loveClicked = [this, onPlaceholder](bool towardOther) {
        const int s = personIdOf(imcFaces->text());
        const int o = personIdOf(imcRelationship->text());
        PersonRecord& holder = state.persons[towardOther ? s : o];
        const int other = towardOther ? o : s;
        const auto show = [this, towardOther](bool valor) {
            if (towardOther)
                chkYLoveValor(valor);
            else
                chkSLoveValor(valor);
        };
        if (onPlaceholder() || !isTrue(holder.HasRelation[other])) {
            show(false);
            return;
        }
        const bool loves = !(towardOther ? state.YLoveChecked : state.SLoveChecked);
        show(loves);
        holder.Loves[other] = toBoolean(loves);
        state.Saved = false;
        state.persons[s].Changed = kTrue;
        state.persons[o].Changed = kTrue;
    };
    connect(chkYLove, &PictureBox::clicked, this, [loveClicked] { loveClicked(true); });
    connect(chkSLove, &PictureBox::clicked, this, [loveClicked] { loveClicked(false); });
}

void MainWindow::relationshipChosen() {
    const QString chosen = imcFaces->text();
    const QString entry = imcRelationship->text();

    if (entry == QString::fromStdString(strings_.text(137))) {
        // Nobody to show: both directions empty, nothing to edit.
        showFeeling(prgSFeel, 0, false);
        showFeeling(prgYFeel, 0, false);
        chkYLoveValor(false);
        chkSLoveValor(false);
        prgYFeel->setEnabled(false);
        prgSFeel->setEnabled(false);
        return;
    }

    const int s = personIdOf(chosen);
    const int o = personIdOf(entry);
    PersonRecord& self = state.persons[s];
    PersonRecord& other = state.persons[o];

    // A person from a rejected file: S's relationship toward it is dropped (in memory only,
    // the record is not marked changed). Dropping it before showing keeps a second run of
    // this handler showing the same.
    const bool rejected = entry.contains(kRejectedMark);
    if (rejected)
        self.HasRelation[o] = kFalse;

    const bool youRelate = isTrue(self.HasRelation[o]);
    const bool theyRelate = isTrue(other.HasRelation[s]);
    showFeeling(prgYFeel, self.Relation[o], youRelate);
    showFeeling(prgSFeel, other.Relation[s], theyRelate);
    chkYLoveValor(!rejected && isTrue(self.Loves[o]));
    chkSLoveValor(!rejected && isTrue(other.Loves[s]));

    // A direction without a relationship is never saved, so its gauge takes no edits; the
    // person view has already disabled everything for a rejected chosen person.
    const bool editable = !rejected && !chosen.contains(kRejectedMark);
    prgYFeel->setEnabled(editable && youRelate);
    prgSFeel->setEnabled(editable && theyRelate);
}

void MainWindow::chkYLoveValor(bool valor) {
    chkYLove->setPixmap(valor ? pctLove : pctNoLove);
    state.YLoveChecked = valor;
}

void MainWindow::chkSLoveValor(bool valor) {
    chkSLove->setPixmap(valor ? pctLove : pctNoLove);
    state.SLoveChecked = valor;
}

}  // namespace vondrel
