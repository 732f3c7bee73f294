#pragma once

#include <string>
#include <string_view>

namespace vondrel {

enum class MessageIcon { None, Critical, Question, Information };
enum class MessageButtons { Ok, YesNo, RetryCancel };
enum class MessageAnswer { Ok, Yes, No, Retry, Cancel };

// Modal message boxes with the program's title as caption. Texts are UTF-8.
class MessageBoxes {
  public:
    virtual ~MessageBoxes() = default;
    virtual MessageAnswer show(std::string_view text, MessageIcon icon, MessageButtons buttons) = 0;
};

}  // namespace vondrel
