#pragma once

#include <map>
#include <string>
#include <string_view>

namespace vondrel {

// Ids of the texts the code refers to by name.
namespace text {
inline constexpr int AreYouSure = 131, LoseChanges = 132, NoBackups = 133, Saved = 134,
                     PleaseWait = 138, Initializing = 139, ReadError = 140, IgnoreFile = 141,
                     ValueTooBig = 142, ChangedOnDisk = 352, RestartAndRepeat = 353,
                     CouldNotSave = 354, CouldNotRead = 355, CannotGoOn = 356,
                     NoCharactersFolder = 357, SamePerson = 358, KeepsLaterOne = 359,
                     CopyKeptIn = 360, BackupFailed = 361, GameRunning = 362, SaveAnyway = 363,
                     RestoreBackup = 364, Undo = 365, Redo = 366, RestoreWhich = 367,
                     RestoreQuestion = 368, NoBackupsYet = 369, RestoreFailed = 370,
                     MoreMessages = 371, FullListLogged = 372, CouldNotWriteSettings = 373;
}  // namespace text

// The program's texts by numeric id (UTF-8).
class StringTable {
  public:
    // The table built into the program.
    static const StringTable& builtIn();
    // Parses the table's source form; throws std::runtime_error on a malformed line.
    static StringTable parse(std::string_view source);

    // The text of `id`; an empty text for an id the table does not hold.
    const std::string& text(int id) const;
    bool contains(int id) const { return texts_.count(id) != 0; }
    const std::map<int, std::string>& all() const { return texts_; }

  private:
    std::map<int, std::string> texts_;
};

}  // namespace vondrel
