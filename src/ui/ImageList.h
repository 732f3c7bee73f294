#pragma once

#include <QColor>
#include <QHash>
#include <QImage>
#include <QPixmap>
#include <QSize>
#include <QString>
#include <QVector>

namespace vondrel {

// An ordered list of pictures of one size, counted from 1, each with an optional key that is
// unique within the list. Pictures of another size are scaled to the list's size when added,
// and their pixels of the mask colour become transparent.
class ImageList {
  public:
    // An invalid `maskColour` leaves the pictures opaque.
    ImageList(QSize size, QColor maskColour);

    QSize size() const { return size_; }
    QColor maskColour() const { return maskColour_; }

    // Appends `picture` and returns its position (the new count). A null picture is stored as a
    // transparent one. When another picture already has `key`, the picture is still added, so
    // positions keep counting along with the caller's, but it gets no key; indexOf(key) goes on
    // finding the first one.
    int add(const QPixmap& picture, const QString& key = {});
    // The same for a picture already decoded, which is converted and masked in place where it
    // is not shared.
    int add(QImage picture, const QString& key = {});

    int count() const { return static_cast<int>(entries_.size()); }
    // "" when the picture has no key or `position` is outside 1..count().
    QString key(int position) const;
    // A null pixmap when `position` is outside 1..count().
    QPixmap picture(int position) const;
    // The position of the picture with `key` (compared exactly), 0 when there is none.
    int indexOf(const QString& key) const;
    void clear();

  private:
    struct Entry {
        QPixmap picture;
        QString key;
    };

    int addImage(QImage picture, const QString& key);
    bool contains(int position) const { return position >= 1 && position <= count(); }

    QSize size_;
    QColor maskColour_;
    QVector<Entry> entries_;
    // The position of the picture with each key.
    QHash<QString, int> positions_;
};

}  // namespace vondrel
