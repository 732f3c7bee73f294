#pragma once

#include "platform/ListChooser.h"

class QWidget;

namespace vondrel {

// A modal list dialog over `parent`, captioned with the program's name.
class QtListChooser : public ListChooser {
  public:
    explicit QtListChooser(QWidget* parent = nullptr) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }

    std::optional<std::size_t> choose(const std::string& label,
                                      const std::vector<std::string>& items) override;

  private:
    QWidget* parent_;
};

}  // namespace vondrel
