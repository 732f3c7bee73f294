#include "ui/FamilyPanel.h"

#include <QEvent>
#include <QKeyEvent>
#include <QSignalBlocker>

#include "base/Cp1252.h"
#include "editing/FamilyMoney.h"
#include "ui/SurfaceWidgets.h"

namespace vondrel {
namespace {

// The money entry takes digits, at most kMoneyDigits of them as typed, and Backspace. Keys
// that only move the cursor or the focus pass as well; every other key, shortcuts such as
// Ctrl+V and Ctrl+X included, is swallowed, and the window's own shortcuts (undo) go to the
// window. Text that arrives another way (the context menu's Paste) is cleaned up when it is
// stored.
class MoneyKeyFilter : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::ShortcutOverride) {
            // Leave Ctrl+Z and the like to the window instead of the entry's own undo.
            if (static_cast<QKeyEvent*>(event)->modifiers() & Qt::ControlModifier) {
                event->ignore();
                return true;
            }
            return false;
        }
        if (event->type() != QEvent::KeyPress)
            return QObject::eventFilter(watched, event);
        return !passes(*static_cast<QLineEdit*>(watched), *static_cast<QKeyEvent*>(event));
    }

  private:
    static bool passes(const QLineEdit& entry, const QKeyEvent& key) {
        if (key.key() == Qt::Key_Backspace)
            return true;
        if (key.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
            return false;
        const QString text = key.text();
        if (text.size() == 1 && text[0] >= QLatin1Char('0') && text[0] <= QLatin1Char('9'))
            return entry.text().size() - entry.selectedText().size() < kMoneyDigits;
        switch (key.key()) {
            case Qt::Key_Left:
            case Qt::Key_Right:
            case Qt::Key_Home:
            case Qt::Key_End:
            case Qt::Key_Tab:
            case Qt::Key_Backtab:
                return true;
            default:
                return false;
        }
    }
};

}  // namespace

FamilyPanel::FamilyPanel(DesignSurface& surface, EditorContext& context)
    : QObject(surface.window()), context_(context) {
    ghost_ = surface.button("imgGhost", "ghost", "lblGhost", "Ghost", "btnGhost");
    familyNameCaption_ = surface.text("lbllFamName", "Fam. Name:");
    familyName_ = surface.text("lblFamName", "");
    familyName_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // The family name is shown as it is stored, never read as markup.
    familyName_->setTextFormat(Qt::PlainText);
    houseCaption_ = surface.text("lbllAddress", "Address:");
    house_ = surface.text("lblAddress", "");
    house_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    moneyCaption_ = surface.text("lblMoney", "Money:");
    lingeringCaption_ = surface.text("lblLingering", "Add:");

    money_ = surface.placed<QLineEdit>("txtMoney");
    money_->installEventFilter(new MoneyKeyFilter(money_));
    // Only what the player types or pastes is an edit; filling the box from the file is not.
    connect(money_, &QLineEdit::textEdited, this, &FamilyPanel::moneyTyped);
    connect(money_, &QLineEdit::editingFinished, this, [this] {
        if (context_.household)
            context_.household->endGesture();
    });

    lingeringHouse_ = surface.placed<QComboBox>("cmbLingering");
    for (int i = 1; i <= 10; ++i)
        lingeringHouse_->addItem(QStringLiteral("%1").arg(i, 2, 10, QLatin1Char('0')));
    connect(lingeringHouse_, &QComboBox::activated, this, [this](int index) {
        if (context_.editable() &&
            context_.household->setLingerHouse(context_.current, static_cast<Integer>(index + 1)))
            emit edited();
        else
            show();
    });

    auto* area = static_cast<HitArea*>(ghost_.hitArea);
    connect(area, &HitArea::pressed, this, [this](int) {
        if (context_.editable() && context_.household->setGhost(context_.current, !ghostShown_))
            emit edited();
        paintButtonState(ghost_, Pressed);
    });
    const auto repaint = [this](int) { paintButtonState(ghost_, ghostShown_ ? Pressed : Hover); };
    connect(area, &HitArea::moved, this, repaint);
    connect(area, &HitArea::released, this, repaint);
}

void FamilyPanel::setCaptions() {
    const auto caption = [this](QLabel* label, int id) {
        label->setText(context_.text(id));
        fitText(label);
    };
    caption(familyNameCaption_, 121);
    caption(houseCaption_, 122);
    caption(moneyCaption_, 123);
    caption(ghost_.caption, 124);
    ghost_.hitArea->setAccessibleName(ghost_.caption->text());
}

void FamilyPanel::moneyTyped(const QString& text) {
    const std::string digits = moneyDigits(text.toStdString());
    if (QString::fromStdString(digits) != text)
        money_->setText(QString::fromStdString(digits));  // pasted text keeps its digits
    if (context_.editable() &&
        context_.household->setFamilyMoney(context_.current, moneyValue(digits))) {
        emit edited();
    }
}

void FamilyPanel::show() {
    if (!context_.hasPerson())
        return;
    const PersonRecord& p = context_.person();
    ghostShown_ = isTrue(p.IsGhost);
    QWidget* const familyView[] = {familyNameCaption_, houseCaption_, moneyCaption_,
                                   familyName_,        house_,        money_};
    for (QWidget* w : familyView)
        w->setVisible(!ghostShown_);
    lingeringCaption_->setVisible(ghostShown_);
    lingeringHouse_->setVisible(ghostShown_);
    paintButtonState(ghost_, ghostShown_ ? Pressed : Normal);

    familyName_->setText(QString::fromStdString(cp1252ToUtf8(p.FamilyName)));
    house_->setText(QString::number(p.House));
    // The amount in full, whatever its sign and length; left alone while the player is typing
    // it, so that the cursor keeps its place.
    const QString money = QString::number(p.Money);
    const bool typing = money_->hasFocus() && moneyValue(money_->text().toStdString()) == p.Money;
    if (!typing && money_->text() != money)
        money_->setText(money);
    // A person without a family has no money to edit.
    const bool hasFamily = p.MoneyPos > 0 && context_.editable();
    money_->setReadOnly(!hasFamily);
    money_->setEnabled(context_.editable());
    lingeringHouse_->setEnabled(context_.editable());

    const QSignalBlocker quiet(lingeringHouse_);
    const int index = p.LingerHouse - 1;
    lingeringHouse_->setCurrentIndex(index >= 0 && index < lingeringHouse_->count() ? index : -1);
}

}  // namespace vondrel
