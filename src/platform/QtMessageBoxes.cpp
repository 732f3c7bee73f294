#include "platform/QtMessageBoxes.h"

#include <utility>

#include <QMessageBox>
#include <QString>

namespace vondrel {
namespace {

QMessageBox::Icon qtIcon(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Critical:
            return QMessageBox::Critical;
        case MessageIcon::Question:
            return QMessageBox::Question;
        case MessageIcon::Information:
            return QMessageBox::Information;
        case MessageIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

// The default button first, the one Escape answers second.
std::pair<QMessageBox::StandardButton, QMessageBox::StandardButton> qtButtons(
    MessageButtons buttons) {
    switch (buttons) {
        case MessageButtons::YesNo:
            return {QMessageBox::Yes, QMessageBox::No};
        case MessageButtons::RetryCancel:
            return {QMessageBox::Retry, QMessageBox::Cancel};
        case MessageButtons::Ok:
            break;
    }
    return {QMessageBox::Ok, QMessageBox::Ok};
}

MessageAnswer answerFor(QMessageBox::StandardButton button) {
    switch (button) {
        case QMessageBox::Yes:
            return MessageAnswer::Yes;
        case QMessageBox::No:
            return MessageAnswer::No;
        case QMessageBox::Retry:
            return MessageAnswer::Retry;
        case QMessageBox::Cancel:
            return MessageAnswer::Cancel;
        default:
            return MessageAnswer::Ok;
    }
}

}  // namespace

std::unique_ptr<QMessageBox> buildMessageBox(QWidget* parent, std::string_view text,
                                             MessageIcon icon, MessageButtons buttons) {
    auto box = std::make_unique<QMessageBox>(parent);
    box->setWindowTitle(QStringLiteral("Vondrel"));
    box->setTextFormat(Qt::PlainText);
    box->setText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    box->setIcon(qtIcon(icon));
    const auto [first, second] = qtButtons(buttons);
    box->setStandardButtons(first | second);
    box->setDefaultButton(first);
    box->setEscapeButton(second);
    return box;
}

MessageAnswer QtMessageBoxes::show(std::string_view text, MessageIcon icon,
                                   MessageButtons buttons) {
    const std::unique_ptr<QMessageBox> box = buildMessageBox(parent_, text, icon, buttons);
    box->exec();
    // A box closed without a button (Escape, the window's close button) reports its
    // escape button as clicked.
    return answerFor(box->standardButton(box->clickedButton()));
}

}  // namespace vondrel
