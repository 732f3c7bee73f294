#include <cmath>

#include "base/Cp1252.h"
#include "editing/Careers.h"
#include "model/PickerText.h"
#include "ui/MainWindow.h"

namespace vondrel {

int MainWindow::personIdOf(const QString& entryText) const {
    const SplitName names = splitPickerText(utf8ToCp1252(entryText.toStdString()));
    return PegaID(state.persons, names.firstName, names.familyName).value_or(0);
}

void MainWindow::wirePersonView() {
    connect(imcFaces, &ImagePicker::userChose, this, &MainWindow::personChosen);
}

void MainWindow::personChosen() {
    // 1-2. The chosen entry's person.
    const QString entry = imcFaces->text();
    const SplitName names = splitPickerText(utf8ToCp1252(entry.toStdString()));
    state.CurrentId = PegaID(state.persons, names.firstName, names.familyName);
    PersonRecord& p = current();

    // 3. The attribute bars: hundredths to steps, ties to even.
    for (AttributeBar& bar : bars) {
        bar.gauge->setValue(static_cast<int>(std::nearbyint(p.*bar.field / 100.0)));
    }

    // 4-5. Job and performance.
    if (const int item = jobItemOfTrack(p.JobTrack)) {
        imcJobIcon->select(item);
        jobIconChosen();
    } else {
        // A track the game does not know: nothing is chosen and nothing stored until the
        // player picks one.
        imcJobIcon->setText(QString());
        imcJobs->clear();
    }
    prgPerf->setValue(p.JobPerformance + 100);

    // 6. The family or ghost view.
    showFamilyPanel();

    // 7-8. The relationship list, in id order, with the portraits found by key.
    imcRelationship->clearEntries();
    imcRelationship->setText(QString());
    const int unknownPicture = imgFaces.count();
    for (int j = kMinId; j <= kMaxId; ++j) {
        if (!isTrue(p.HasRelation[j]))
            continue;
        const int picture = imgFaces.indexOf(QString::fromStdString("ID=" + std::to_string(j)));
        const PersonRecord& other = state.persons[j];
        imcRelationship->addEntry(
            QString::fromStdString(cp1252ToUtf8(pickerText(other.FamilyName, other.FirstName))),
            picture > 0 ? picture : unknownPicture);
    }
    if (imcRelationship->count() == 0) {
        imcRelationship->addEntry(QString::fromStdString(strings_.text(137)), unknownPicture);
    }

    // 9. A person from a rejected file cannot be edited.
    const bool rejected = entry.contains(QStringLiteral("*UNK*"));
    QList<QWidget*> editing;
    for (AttributeBar& bar : bars)
        editing << bar.gauge;
    editing << imcRelationship << prgYFeel << prgSFeel << imcJobIcon << imcJobs << prgPerf
            << txtMoney;
    for (QWidget* control : editing)
        control->setEnabled(!rejected);
    if (rejected)
        p.IsGhost = kFalse;

    // 10. The first relationship.
    imcRelationship->select(1);
    relationshipChosen();
}

}  // namespace vondrel
