#pragma once

#include <QComboBox>
#include <QString>

namespace vondrel {

class ImageList;

// A drop-down list (not editable) whose entries each show a picture of an ImageList. Entries
// are counted from 1 and keep the order they were added in. An entry may name a second picture
// that the closed box shows while that entry is the chosen one.
//
// count(), setEnabled() and setIconSize() are QComboBox's; the icon size starts at 25 x 25.
class ImagePicker : public QComboBox {
    Q_OBJECT

  public:
    explicit ImagePicker(QWidget* parent = nullptr);

    // The list is not owned. Pictures are looked up when entries are added; setting the list
    // (again) looks them up anew for every entry.
    void setImageList(ImageList* list);
    ImageList* imageList() const { return list_; }

    void clearEntries();
    // An entry that stands for no record.
    static constexpr int kNoId = -1;

    // Appends an entry showing picture number `picture` of the list (0 or a number outside the
    // list: no picture), standing for the record `id`, and returns its position. Adding never
    // chooses an entry.
    int addEntry(const QString& text, int picture, int selectedPicture = 0, int id = kNoId);
    // The record an entry stands for; kNoId outside 1..count().
    int entryId(int index) const;
    int selectedId() const;
    // Chooses the first entry standing for `id`, without raising userChose(); false when
    // there is none.
    bool selectId(int id);

    bool isSelected(int index) const;
    // Chooses entry `index` without raising userChose(); outside 1..count() nothing changes.
    void select(int index);
    // The chosen entry's position, 0 when none is chosen.
    int selectedIndex() const;

    // The chosen entry's text, "" when none is chosen.
    QString text() const;
    // Chooses the first entry with exactly `text`; "" or a text no entry has leaves nothing
    // chosen and the box empty.
    void setText(const QString& text);

    // "" / 0 when `index` is outside 1..count().
    QString entryText(int index) const;
    int entryPicture(int index) const;
    int entrySelectedPicture(int index) const;
    // The picture number the closed box shows: the chosen entry's selected picture when it has
    // one, otherwise its picture; 0 when nothing is chosen.
    int shownPicture() const;

  signals:
    // The user chose an entry, with the mouse in the list or with the keyboard. Choosing from
    // code does not raise it.
    void userChose();

  protected:
    void initStyleOption(QStyleOptionComboBox* option) const override;

  private:
    static constexpr int kPictureRole = Qt::UserRole + 1;
    static constexpr int kSelectedPictureRole = Qt::UserRole + 2;
    static constexpr int kIdRole = Qt::UserRole + 3;

    bool contains(int index) const { return index >= 1 && index <= count(); }
    QIcon iconOf(int picture) const;

    ImageList* list_ = nullptr;
};

}  // namespace vondrel
