#include "ui/ImageList.h"

#include <QImage>

namespace vondrel {

ImageList::ImageList(QSize size, QColor maskColour) : size_(size), maskColour_(maskColour) {}

int ImageList::add(const QPixmap& picture, const QString& key) {
    QImage image;
    if (picture.isNull()) {
        image = QImage(size_, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
    } else {
        image = picture.toImage().convertToFormat(QImage::Format_ARGB32);
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

    Entry entry{QPixmap::fromImage(image), {}};
    if (!key.isEmpty() && indexOf(key) == 0)
        entry.key = key;
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
    for (int i = 0; i < count(); ++i) {
        if (entries_[i].key == key)
            return i + 1;
    }
    return 0;
}

void ImageList::clear() {
    entries_.clear();
}

}  // namespace vondrel
