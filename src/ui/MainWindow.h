#pragma once

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QWidget>
#include <array>
#include <map>

#include <memory>

#include "gamedata/NeighborhoodSave.h"
#include "model/WindowState.h"
#include "platform/HelpOpener.h"
#include "platform/MessageBoxes.h"
#include "resources/StringTable.h"
#include "ui/Gauge.h"
#include "ui/ImageList.h"
#include "ui/ImagePicker.h"
#include "ui/SkinnedButton.h"
#include "ui/SurfaceWidgets.h"

namespace vondrel {

inline constexpr const char* kWindowTitle = "Vondrel V0.40A - [Only for BETA testers!!]";

// One attribute bar and the record field it edits.
struct AttributeBar {
    const char* name;
    Integer PersonRecord::*field;
    Gauge* gauge = nullptr;
    QLabel* label = nullptr;
};

// The main window: a fixed, skinned window whose elements keep the names and places of
// its design.
class MainWindow : public QWidget {
    Q_OBJECT
  public:
    MainWindow(WindowState& state, MessageBoxes& messages,
               const StringTable& strings = StringTable::builtIn());

    // Puts the string-table captions and hints on the controls.
    void setCaptions();
    // Asks whether to leave; true when the answer is Yes.
    bool askExit();
    // The handlers of the window, each group in its own source file.
    // Person view (PersonView.cpp): the person picker's selection.
    void personChosen();
    // Jobs (JobPanel.cpp): the job-icon picker's selection, the title picker's selection.
    void jobIconChosen();
    void titleChosen();
    // Relationships (RelationshipPanel.cpp): the relationship picker's selection and the
    // two love checks.
    void relationshipChosen();
    void chkYLoveValor(bool valor);
    void chkSLoveValor(bool valor);
    // Family panel (FamilyPanel.cpp): the family or ghost view of the current person.
    void showFamilyPanel();
    // Save (SaveButton.cpp).
    void saveClicked();
    // Help (HelpButton.cpp) and About (AboutBox.cpp).
    void helpClicked();
    void aboutClicked();
    void setHelpOpener(HelpOpener* opener) { helpOpener_ = opener; }

    // The id of the person a picker entry names: its text split at the first comma and
    // looked up by both names; an entry that names nobody gives 0.
    int personIdOf(const QString& entryText) const;
    PersonRecord& current() { return state.current(); }

    // The element called `name` in the design (a label, picture, gauge, picker, ...).
    QWidget* element(const QString& name) const;

    WindowState& state;
    // Writes the edits back into the neighbourhood file; set once the game is loaded.
    std::unique_ptr<NeighborhoodSaver> saver;
    ImageList imgFaces;
    ImageList imgJobs;

    QLabel* lblSelectyourVek;
    ImagePicker* imcFaces;
    std::array<AttributeBar, 12> bars;
    QLabel* lblAttributes;
    QLabel* lblAbilities;
    QLabel* lblRelationships;
    ImagePicker* imcRelationship;
    Gauge* prgYFeel;
    Gauge* prgSFeel;
    PictureBox* chkYLove;
    PictureBox* chkSLove;
    QLabel* lblJob;
    ImagePicker* imcJobIcon;
    QComboBox* imcJobs;
    QLabel* lblPerf;
    Gauge* prgPerf;
    QLabel* lbllFamName;
    QLabel* lblFamName;
    QLabel* lbllAddress;
    QLabel* lblAddress;
    QLabel* lblMoney;
    QLineEdit* txtMoney;
    QLineEdit* txtFundo;
    QLabel* lblLingering;
    QComboBox* cmbLingering;
    std::array<PictureBox*, 5> pctUI;
    QPixmap pctLove, pctNoLove, pctUnknown;

    SkinnedButton save, exit, help, about, ghost, maxVek, maxFam;

  signals:
    // The user confirmed leaving the program.
    void exitConfirmed();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

  private:
    void build();
    void wireButtons();
    void wireBars();
    void wirePersonView();
    void wireJobs();
    void wireRelationships();
    void wireFamilyPanel();
    void wireMaximize();
    void wireSave();
    void storeBar(AttributeBar& bar);

    MessageBoxes& messages_;
    HelpOpener* helpOpener_ = nullptr;
    const StringTable& strings_;
    std::map<QString, QWidget*> elements_;
    bool leaving_ = false;
};

}  // namespace vondrel
