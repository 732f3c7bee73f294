#pragma once

#include <memory>
#include <string_view>

#include "platform/MessageBoxes.h"

class QMessageBox;
class QWidget;

namespace vondrel {

// QMessageBox, modal over `parent`, captioned with the program's name.
class QtMessageBoxes : public MessageBoxes {
  public:
    explicit QtMessageBoxes(QWidget* parent = nullptr) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }

    MessageAnswer show(std::string_view text, MessageIcon icon, MessageButtons buttons) override;

  private:
    QWidget* parent_;
};

// The box show() runs, set up but not shown: title, plain text, icon, buttons, the first
// button as default (Yes, Retry) and the second as the answer to Escape (No, Cancel).
std::unique_ptr<QMessageBox> buildMessageBox(QWidget* parent, std::string_view text,
                                             MessageIcon icon, MessageButtons buttons);

}  // namespace vondrel
