#include "ui/ImageList.h"

#include <QImage>

namespace vondrel {

ImageList::ImageList(QSize size, QColor maskColour) : size_(size), maskColour_(maskColour) {}

int ImageList::add(const QPixmap& picture, const QString& key) {
    return addImage(picture.isNull() ? QImage() : picture.toImage(), key);
}

int ImageList::add(QImage picture, const QString& key) {
    // A picture with an alpha channel takes the way through a pixmap, whose premultiplied
    // pixels the mask then sees, as when it is added as one.
    if (picture.hasAlphaChannel())
        return add(QPixmap::fromImage(std::move(picture)), key);
    return addImage(std::move(picture), key);
}

int ImageList::addImage(QImage picture, const QString& key) {
    QImage image;
    if (picture.isNull()) {
        image = QImage(size_, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
    } else {
        image = std::move(picture).convertToFormat(QImage::Format_ARGB32);
        // The mask goes first: scaling would blend the mask colour into its neighbours.
        if (maskColour_.isValid()) {
            const QRgb mask = maskColour_.rgb() & RGB_MASK;
            for (int y = 0; y < image.height(); ++y) {
                auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
                for (int x = 0; x < image.width(); ++x) {
                    if ((line[x] & RGB_MASK) == mask)
                        line[x] = qRgba(0, 0, 0, 0);
                }
            }
        }
        if (image.size() != size_)
            image = image.scaled(size_, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }

    Entry entry{QPixmap::fromImage(std::move(image)), {}};
    if (!key.isEmpty() && !positions_.contains(key)) {
        entry.key = key;
        positions_.insert(key, count() + 1);
    }
    entries_.push_back(std::move(entry));
    return count();
}

QString ImageList::key(int position) const {
    return contains(position) ? entries_[position - 1].key : QString();
}

QPixmap ImageList::picture(int position) const {
    return contains(position) ? entries_[position - 1].picture : QPixmap();
}

int ImageList::indexOf(const QString& key) const {
    if (key.isEmpty())
        return 0;
    return positions_.value(key, 0);
}

void ImageList::clear() {
    entries_.clear();
    positions_.clear();
}

}  // namespace vondrel
