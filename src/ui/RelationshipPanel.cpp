#include "ui/RelationshipPanel.h"

#include "base/Cp1252.h"
#include "model/PickerText.h"
#include "ui/AttributeBars.h"

namespace vondrel {
namespace {

const QColor kNavy(7, 0, 128);
constexpr int kNoRelationshipsText = 137;
// The usable width of both feeling gauges in pointer pixels, a little less than their drawn
// width; a drag maps 0..188 onto 0..200.
constexpr float kFeelingWidth = 188.0F;
// Feelings run from -100 to 100 and sit on the gauge shifted by 100.
constexpr int kFeelingOffset = 100;
// Set on a feeling gauge while its direction has no relationship: its caption then reads
// "No relationships!" instead of the feeling.
const char* const kShowsNoRelationship = "showsNoRelationship";

void showFeeling(Gauge* gauge, Long feeling, bool hasRelation) {
    gauge->setProperty(kShowsNoRelationship, !hasRelation);
    gauge->setValue(hasRelation ? static_cast<int>(feeling) + kFeelingOffset : kFeelingOffset);
}

}  // namespace

RelationshipPanel::RelationshipPanel(DesignSurface& surface, EditorContext& context)
    : QObject(surface.window()), context_(context) {
    caption_ = surface.text("lblRelationships", "Relationships:");
    auto* panel = surface.placed<PictureBox>("pctUI(4)");
    panel->setPixmap(skinPicture("panel_picker"));

    others_ = surface.placed<ImagePicker>("imcRelationship");
    others_->setImageList(&context_.faces);
    others_->setFont(arialBold(9.75));
    connect(others_, &ImagePicker::userChose, this, &RelationshipPanel::show);

    const QPixmap gaugeBack = skinPicture("gauge_back");
    const QString noRelationships = context_.text(kNoRelationshipsText);
    const auto feelGauge = [&](const char* name, QColor fill) {
        Gauge* g = surface.placed<Gauge>(name);
        g->setMaximum(200);
        g->setBackColor(kNavy);
        g->setFillColor(fill);
        g->setBackPicture(gaugeBack);
        g->setCaptionFont(arialBold(9.75));
        connect(g, &Gauge::captionRequested, this, [g, noRelationships](QString& caption, int v) {
            caption = g->property(kShowsNoRelationship).toBool()
                          ? noRelationships
                          : QString::number(v - kFeelingOffset);
        });
        connect(g, &Gauge::mouseMoved, this,
                [this, g](int buttons, int, double x, double) { drag(g, buttons, x); });
        connect(g, &Gauge::keyStep, this, [this, g](int value) { store(g, value); });
        connect(g, &Gauge::mouseReleased, this, [this] {
            if (context_.household)
                context_.household->endGesture();
        });
        return g;
    };
    yourFeeling_ = feelGauge("prgYFeel", Qt::white);
    theirFeeling_ = feelGauge("prgSFeel", QColor(0, 0, 255));

    love_ = skinPicture("love");
    noLove_ = skinPicture("nolove");
    youLove_ = surface.placed<PictureBox>("chkYLove");
    youLove_->setPixmap(noLove_);
    youLove_->setToolTip(QStringLiteral("You love this Vek ?"));
    connect(youLove_, &PictureBox::clicked, this, [this] { loveClicked(true); });
    theyLove_ = surface.placed<PictureBox>("chkSLove");
    theyLove_->setPixmap(noLove_);
    theyLove_->setToolTip(QStringLiteral("This Vek love you ?"));
    connect(theyLove_, &PictureBox::clicked, this, [this] { loveClicked(false); });
    for (PictureBox* heart : {youLove_, theyLove_})
        heart->setFocusPolicy(Qt::TabFocus);
}

void RelationshipPanel::setCaptions() {
    caption_->setText(context_.text(118));
    fitText(caption_);
    yourFeeling_->setToolTip(context_.text(119));
    theirFeeling_->setToolTip(context_.text(120));
    yourFeeling_->setAccessibleName(yourFeeling_->toolTip());
    theirFeeling_->setAccessibleName(theirFeeling_->toolTip());
    youLove_->setAccessibleName(youLove_->toolTip());
    theyLove_->setAccessibleName(theyLove_->toolTip());
}

void RelationshipPanel::showPerson() {
    others_->clearEntries();
    others_->setText(QString());
    if (!context_.hasPerson())
        return;
    const int unknownPicture = context_.faces.count();
    const PersonRecord& self = context_.person();
    for (int j = kMinId; j <= kMaxId; ++j) {
        if (!isTrue(self.HasRelation[j]))
            continue;
        const int picture = context_.faces.indexOf(QStringLiteral("ID=%1").arg(j));
        const PersonRecord& other = context_.household->person(j);
        others_->addEntry(
            QString::fromStdString(cp1252ToUtf8(pickerText(other.FamilyName, other.FirstName))),
            picture > 0 ? picture : unknownPicture, 0, j);
    }
    if (others_->count() == 0)
        others_->addEntry(context_.text(kNoRelationshipsText), unknownPicture);
    others_->select(1);
    show();
}

void RelationshipPanel::show() {
    const int s = context_.current;
    const int o = others_->selectedId();
    others_->setEnabled(context_.editable());
    if (!context_.hasPerson() || o == ImagePicker::kNoId) {
        // Nobody to show: both directions empty, nothing to edit.
        showFeeling(yourFeeling_, 0, false);
        showFeeling(theirFeeling_, 0, false);
        showYouLove(false);
        showTheyLove(false);
        yourFeeling_->setEnabled(false);
        theirFeeling_->setEnabled(false);
        return;
    }
    const Household& household = *context_.household;
    const PersonRecord& self = household.person(s);
    const PersonRecord& other = household.person(o);
    // A person from a rejected file shows as such; nothing about it can be saved.
    const bool rejected = isTrue(other.Rejected);
    showFeeling(yourFeeling_, self.Relation[o], isTrue(self.HasRelation[o]) && !rejected);
    showFeeling(theirFeeling_, other.Relation[s], isTrue(other.HasRelation[s]) && !rejected);
    showYouLove(!rejected && isTrue(self.Loves[o]));
    showTheyLove(!rejected && isTrue(other.Loves[s]));
    yourFeeling_->setEnabled(!rejected && household.hasWritableRelation(s, o));
    theirFeeling_->setEnabled(!rejected && household.hasWritableRelation(o, s));
}

void RelationshipPanel::drag(Gauge* gauge, int buttons, double x) {
    if (!gauge->isEnabled())
        return;
    if (buttons != 1) {
        gauge->setPointerShape(Gauge::kDefaultPointer);
        return;
    }
    gauge->setPointerShape(Gauge::kHorizontalResizePointer);
    store(gauge, barValueAt(static_cast<float>(x), kFeelingWidth, gauge->maximum()));
}

void RelationshipPanel::store(Gauge* gauge, int barValue) {
    if (!gauge->isEnabled())
        return;
    gauge->setValue(barValue);
    const int s = context_.current;
    const int o = others_->selectedId();
    // Each direction is the view of the person who holds it.
    const int holder = gauge == yourFeeling_ ? s : o;
    const int other = gauge == yourFeeling_ ? o : s;
    if (context_.household->setRelation(holder, other, gauge->value() - kFeelingOffset))
        emit edited();
}

void RelationshipPanel::loveClicked(bool youTowardThem) {
    const int s = context_.current;
    const int o = others_->selectedId();
    const int holder = youTowardThem ? s : o;
    const int other = youTowardThem ? o : s;
    const auto showLove = [this, youTowardThem](bool loves) {
        youTowardThem ? showYouLove(loves) : showTheyLove(loves);
    };
    if (!context_.hasPerson() || o == ImagePicker::kNoId || !context_.editable() ||
        isTrue(context_.household->person(o).Rejected) ||
        !context_.household->hasWritableRelation(holder, other)) {
        showLove(false);
        return;
    }
    const bool loves = !(youTowardThem ? youLoveShown_ : theyLoveShown_);
    if (context_.household->setLoves(holder, other, loves))
        emit edited();
}

void RelationshipPanel::showYouLove(bool loves) {
    youLove_->setPixmap(loves ? love_ : noLove_);
    youLoveShown_ = loves;
}

void RelationshipPanel::showTheyLove(bool loves) {
    theyLove_->setPixmap(loves ? love_ : noLove_);
    theyLoveShown_ = loves;
}

}  // namespace vondrel
