#include "ui/PersonView.h"

#include <QFontMetrics>
#include <cmath>

#include "base/Cp1252.h"
#include "ui/AttributeBars.h"
#include "ui/Design.h"

namespace vondrel {
namespace {

constexpr const char* kBarNames[kAttributeCount] = {
    "Neat",    "Outgoing",   "Active",   "Playful", "Nice",  "Cleaning",
    "Cooking", "Mechanical", "Charisma", "Body",    "Logic", "Creativity"};

// A bar label is sized to its text and ends at its right edge, level with the bar.
void placeBarLabel(QLabel* label, const design::BarLabel& where) {
    const int width = QFontMetrics(label->font()).horizontalAdvance(label->text()) + 2;
    const int right = where.rightEdge / design::kTwipsPerPixel;
    label->setGeometry(right - width, where.top / design::kTwipsPerPixel, width,
                       where.height / design::kTwipsPerPixel);
}

}  // namespace

PersonView::PersonView(DesignSurface& surface, EditorContext& context)
    : QObject(surface.window()), context_(context) {
    pickerCaption_ = surface.text("lblSelectyourVek", "Select your Vek:");
    attributesCaption_ = surface.text("lblAttributes", "Attributes:");
    abilitiesCaption_ = surface.text("lblAbilities", "Abilities:");

    auto* pickerPanel = surface.placed<PictureBox>("pctUI(0)");
    pickerPanel->setPixmap(skinPicture("panel_picker"));
    std::array<PictureBox*, 2> barPanels{};
    for (int i = 0; i < 2; ++i) {
        barPanels[static_cast<std::size_t>(i)] =
            surface.placed<PictureBox>("pctUI(" + std::to_string(i + 1) + ")");
        barPanels[static_cast<std::size_t>(i)]->setPixmap(skinPicture("panel_attributes"));
    }

    const QPixmap barEmpty = skinPicture("bar_empty");
    const QPixmap barFull = skinPicture("bar_full");
    for (std::size_t i = 0; i < bars_.size(); ++i) {
        const std::string name = kBarNames[i];
        QLabel* label = surface.text("lbl" + name, (name + ":").c_str(), barPanels[i < 6 ? 0 : 1]);
        placeBarLabel(label, design::kBarLabels[i]);
        labels_[i] = label;

        Gauge* gauge = surface.placed<Gauge>("prg" + name);
        gauge->setMaximum(10);
        gauge->setCaptionVisible(false);
        gauge->setPictures(barEmpty, barFull);
        bars_[i] = gauge;

        // Dragging moves the bar; the click that ends the drag stores its value.
        const auto follow = [gauge](int buttons, int, double x, double) {
            if (buttons == 1)
                gauge->setValue(
                    barValueAt(x, static_cast<float>(gauge->width()), gauge->maximum()));
        };
        connect(gauge, &Gauge::mouseMoved, this, follow);
        connect(gauge, &Gauge::mouseReleased, this, follow);
        const auto store = [this, gauge, i] {
            if (context_.editable() &&
                context_.household->setAttribute(context_.current, static_cast<Attribute>(i),
                                                 static_cast<Integer>(gauge->value() * 100))) {
                emit edited();
            } else {
                show();
            }
        };
        connect(gauge, &Gauge::clicked, this, store);
        // A key moves the bar and stores at once, as a click there would.
        connect(gauge, &Gauge::keyStep, this, [gauge, store](int value) {
            gauge->setValue(value);
            store();
        });
    }

    picker_ = surface.placed<ImagePicker>("imcFaces");
    picker_->setImageList(&context_.faces);
    picker_->setFont(arialBold(9.75));
    connect(picker_, &ImagePicker::userChose, this, [this] {
        if (const int id = picker_->selectedId(); id != ImagePicker::kNoId)
            emit personChosen(id);
    });
}

void PersonView::setCaptions() {
    const auto caption = [this](QLabel* label, int id) {
        label->setText(context_.text(id));
        fitText(label);
    };
    caption(pickerCaption_, 101);
    caption(attributesCaption_, 104);
    caption(abilitiesCaption_, 105);
    for (std::size_t i = 0; i < labels_.size(); ++i) {
        labels_[i]->setText(context_.text(106 + static_cast<int>(i)));
        bars_[i]->setAccessibleName(labels_[i]->text());
        placeBarLabel(labels_[i], design::kBarLabels[i]);
    }
}

void PersonView::fillPicker() {
    picker_->clearEntries();
    if (!context_.household)
        return;
    for (const PickerEntry& entry : context_.household->entries()) {
        picker_->addEntry(QString::fromStdString(cp1252ToUtf8(entry.text)), entry.imageNumber, 0,
                          entry.id);
    }
}

bool PersonView::select(int id) {
    return picker_->selectId(id);
}

void PersonView::show() {
    const bool editable = context_.editable();
    for (std::size_t i = 0; i < bars_.size(); ++i) {
        if (context_.hasPerson()) {
            const Integer value = context_.person().*attributeField(static_cast<Attribute>(i));
            // Hundredths to bar steps, ties to even.
            bars_[i]->setValue(static_cast<int>(std::nearbyint(value / 100.0)));
        }
        bars_[i]->setEnabled(editable);
    }
}

}  // namespace vondrel
