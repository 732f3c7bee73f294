#include <QKeyEvent>
#include <QSignalBlocker>

#include "base/Cp1252.h"
#include "editing/FamilyMoney.h"
#include "ui/MainWindow.h"

namespace vondrel {
namespace {

// The money entry takes digits and Backspace. Keys that only move the cursor or the focus
// pass as well; every other key, shortcuts such as Ctrl+V and Ctrl+X included, is
// swallowed. Text that arrives another way (the context menu's Paste) is cleaned up by the
// change handling.
class MoneyKeyFilter : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress)
            return QObject::eventFilter(watched, event);
        return !passes(*static_cast<QKeyEvent*>(event));
    }

  private:
    static bool passes(const QKeyEvent& key) {
        if (key.key() == Qt::Key_Backspace)
            return true;
        const Qt::KeyboardModifiers commands =
            key.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
        if (commands)
            return false;
        const QString text = key.text();
        if (text.size() == 1 && text[0] >= QLatin1Char('0') && text[0] <= QLatin1Char('9'))
            return true;
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

QString decimal(long long value) {
    return QString::number(value);
}

// The lingering house of entry `index` of the list; no entry stores nothing.
void storeLingerHouse(WindowState& state, int index) {
    if (index < 0)
        return;
    state.current().LingerHouse = static_cast<Integer>(index + 1);
    state.current().Changed = kTrue;
    state.Saved = false;
}

}  // namespace

void MainWindow::wireFamilyPanel() {
    // The family name is shown as it is stored, never read as markup.
    lblFamName->setTextFormat(Qt::PlainText);
    txtMoney->installEventFilter(new MoneyKeyFilter(txtMoney));

    // Money: every change of the text, typed or set from code, is the family's money.
    connect(txtMoney, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (lblFamName->text().isEmpty())
            return;  // a person without a family has no money to edit
        const std::string digits = moneyDigits(text.toStdString());
        if (QString::fromStdString(digits) != text) {
            // Pasted text: keep its digits; setting them runs this handling again.
            txtMoney->setText(QString::fromStdString(digits));
            return;
        }
        setFamilyMoney(state.persons, utf8ToCp1252(lblFamName->text().toStdString()),
                       moneyValue(digits));
        state.Saved = false;
    });

    // Lingering house: a pick of the user or a selection from code.
    const auto lingeringPicked = [this](int index) { storeLingerHouse(state, index); };
    connect(cmbLingering, &QComboBox::currentIndexChanged, this, lingeringPicked);
    connect(cmbLingering, &QComboBox::activated, this, lingeringPicked);

    // The Ghost toggle.
    auto* area = static_cast<HitArea*>(ghost.hitArea);
    connect(area, &HitArea::pressed, this, [this](int) {
        PersonRecord& p = current();
        if (state.GhostShown) {
            state.GhostShown = false;
            p.IsGhost = kFalse;
        } else {
            state.GhostShown = true;
            p.IsGhost = kTrue;
            p.LingerHouse = lingerHouseOfGhost(p);
        }
        showFamilyPanel();
        p.Changed = kTrue;
        state.Saved = false;
        Botao(ghost, Pressed);
    });
    const auto repaint = [this](int) { Botao(ghost, state.GhostShown ? Pressed : Hover); };
    connect(area, &HitArea::moved, this, repaint);
    connect(area, &HitArea::released, this, repaint);
}

void MainWindow::showFamilyPanel() {
    PersonRecord& p = current();
    QWidget* const familyView[] = {lbllFamName, lbllAddress, lblMoney,
                                   lblFamName,  lblAddress,  txtMoney};
    if (!isTrue(p.IsGhost)) {
        for (QWidget* w : familyView)
            w->setVisible(true);
        Botao(ghost, Normal);
        lblLingering->setVisible(false);
        cmbLingering->setVisible(false);
        // The family name goes first: the money change handling reads it.
        lblFamName->setText(QString::fromStdString(cp1252ToUtf8(p.FamilyName)));
        lblAddress->setText(decimal(p.House));
        txtMoney->setText(decimal(p.Money));
        state.GhostShown = false;
    } else {
        for (QWidget* w : familyView)
            w->setVisible(false);
        Botao(ghost, Pressed);
        lblLingering->setVisible(true);
        cmbLingering->setVisible(true);
        const int index = p.LingerHouse - 1;
        {
            // Selected once, then handled once, whether or not the index moved.
            const QSignalBlocker quiet(cmbLingering);
            cmbLingering->setCurrentIndex(index >= 0 && index < cmbLingering->count() ? index : -1);
        }
        storeLingerHouse(state, cmbLingering->currentIndex());
        state.GhostShown = true;
    }
}

}  // namespace vondrel
