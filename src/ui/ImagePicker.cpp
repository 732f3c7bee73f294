#include "ui/ImagePicker.h"

#include <QIcon>
#include <QStyleOptionComboBox>

#include "ui/ImageList.h"

namespace vondrel {

ImagePicker::ImagePicker(QWidget* parent) : QComboBox(parent) {
    setEditable(false);
    setIconSize(QSize(25, 25));
    // activated is raised only for the user's choices, never for setCurrentIndex().
    connect(this, &QComboBox::activated, this, [this](int) { emit userChose(); });
}

void ImagePicker::setImageList(ImageList* list) {
    list_ = list;
    for (int row = 0; row < count(); ++row)
        setItemIcon(row, iconOf(itemData(row, kPictureRole).toInt()));
    update();
}

void ImagePicker::clearEntries() {
    clear();
}

int ImagePicker::addEntry(const QString& text, int picture, int selectedPicture, int id) {
    const int chosen = currentIndex();
    addItem(iconOf(picture), text);
    const int row = count() - 1;
    setItemData(row, picture, kPictureRole);
    setItemData(row, selectedPicture, kSelectedPictureRole);
    setItemData(row, id, kIdRole);
    // QComboBox chooses the first entry put into an empty box; this list starts with none.
    if (currentIndex() != chosen)
        setCurrentIndex(chosen);
    return row + 1;
}

bool ImagePicker::isSelected(int index) const {
    return contains(index) && currentIndex() == index - 1;
}

void ImagePicker::select(int index) {
    if (contains(index))
        setCurrentIndex(index - 1);
}

int ImagePicker::selectedIndex() const {
    return currentIndex() + 1;
}

int ImagePicker::entryId(int index) const {
    return contains(index) ? itemData(index - 1, kIdRole).toInt() : kNoId;
}

int ImagePicker::selectedId() const {
    return entryId(selectedIndex());
}

bool ImagePicker::selectId(int id) {
    const int row = findData(id, kIdRole);
    if (row < 0 || id == kNoId)
        return false;
    setCurrentIndex(row);
    return true;
}

QString ImagePicker::text() const {
    return currentIndex() >= 0 ? itemText(currentIndex()) : QString();
}

void ImagePicker::setText(const QString& text) {
    const int row = text.isEmpty() ? -1 : findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    setCurrentIndex(row);
}

QString ImagePicker::entryText(int index) const {
    return contains(index) ? itemText(index - 1) : QString();
}

int ImagePicker::entryPicture(int index) const {
    return contains(index) ? itemData(index - 1, kPictureRole).toInt() : 0;
}

int ImagePicker::entrySelectedPicture(int index) const {
    return contains(index) ? itemData(index - 1, kSelectedPictureRole).toInt() : 0;
}

int ImagePicker::shownPicture() const {
    const int chosen = selectedIndex();
    if (chosen == 0)
        return 0;
    const int selected = entrySelectedPicture(chosen);
    return selected != 0 ? selected : entryPicture(chosen);
}

void ImagePicker::initStyleOption(QStyleOptionComboBox* option) const {
    QComboBox::initStyleOption(option);
    if (currentIndex() >= 0)
        option->currentIcon = iconOf(shownPicture());
}

QIcon ImagePicker::iconOf(int picture) const {
    if (list_ == nullptr)
        return {};
    const QPixmap pixmap = list_->picture(picture);
    return pixmap.isNull() ? QIcon() : QIcon(pixmap);
}

}  // namespace vondrel
