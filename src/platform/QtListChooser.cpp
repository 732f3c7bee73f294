#include "platform/QtListChooser.h"

#include <QInputDialog>
#include <QStringList>

namespace vondrel {

std::optional<std::size_t> QtListChooser::choose(const std::string& label,
                                                 const std::vector<std::string>& items) {
    QStringList texts;
    for (const std::string& item : items)
        texts << QString::fromStdString(item);
    bool ok = false;
    const QString chosen = QInputDialog::getItem(
        parent_, QStringLiteral("Vondrel"), QString::fromStdString(label), texts, 0, false, &ok);
    if (!ok)
        return std::nullopt;
    const auto index = texts.indexOf(chosen);
    if (index < 0)
        return std::nullopt;
    return static_cast<std::size_t>(index);
}

}  // namespace vondrel
