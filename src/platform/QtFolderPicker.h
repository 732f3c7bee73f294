#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/FolderPicker.h"

class QString;
class QWidget;

namespace vondrel {

// Qt's folder dialog, modal over `parent`, with the hint as a line below the folders.
class QtFolderPicker : public FolderPicker {
  public:
    explicit QtFolderPicker(QWidget* parent = nullptr) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }

    std::optional<std::string> pickFolder(std::string_view title, std::string_view startFolder,
                                          std::string_view hint) override;

  private:
    QWidget* parent_;
};

// A folder as the dialog returns it (empty when cancelled) in the form pickFolder hands
// out: native separators, UTF-8, no trailing separator unless it is a root.
std::optional<std::string> pickedFolder(const QString& dialogResult);

}  // namespace vondrel
