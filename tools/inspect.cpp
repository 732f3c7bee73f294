// Loads a game folder the way the editor does and prints what it found:
// `vondrel-inspect GAME_FOLDER`.

#include <iostream>

#include "base/Cp1252.h"
#include "base/FileIO.h"
#include "gamedata/PersonLoader.h"
#include "model/PickerText.h"

namespace {

class PrintingSink : public vondrel::LoadSink {
  public:
    void begin(int) override {}
    void advance(int) override {}
    void message(const std::string& text) override { std::cout << "! " << text << "\n\n"; }
    void image(const std::string&, const std::optional<vondrel::Bytes>&) override {}
};

}  // namespace

int main(int argc, char** argv) {
    using namespace vondrel;
    const std::vector<std::string> args = utf8Arguments(argc, argv);
    if (args.size() != 2) {
        std::cerr << "usage: vondrel-inspect GAME_FOLDER\n";
        return 2;
    }
    Persons persons;
    PrintingSink sink;
    if (loadGameFolder(args[1], persons, sink).status != LoadStatus::Loaded)
        return 1;
    for (const PersonRecord& p : persons) {
        if (p.FirstName.empty())
            continue;
        std::cout << p.Id << "  " << cp1252ToUtf8(pickerText(p.FamilyName, p.FirstName))
                  << (isTrue(p.IsGhost) ? "  (ghost)" : "") << "\n    personality " << p.Neat << " "
                  << p.Outgoing << " " << p.Active << " " << p.Playful << " " << p.Nice
                  << "  skills " << p.Cooking << " " << p.Mechanical << " " << p.Charisma << " "
                  << p.Body << " " << p.Logic << " " << p.Creativity << " " << p.Cleaning
                  << "\n    job " << p.JobTrack << "/" << p.JobLevel << " performance "
                  << p.JobPerformance << "  house " << p.House << "  money " << p.Money << "\n";
        for (int j = kMinId; j <= kMaxId; ++j) {
            if (!isTrue(p.HasRelation[j]))
                continue;
            std::cout << "    -> " << j << ": " << p.Relation[j]
                      << (isTrue(p.Loves[j]) ? " (loves)" : "") << "\n";
        }
    }
    return 0;
}
