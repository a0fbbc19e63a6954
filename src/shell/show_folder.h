// Where the show is played from. A working folder with a data folder plays as it is, so a
// custom show plays from wherever it is started; otherwise the show installed with the program
// plays, found from the program's own folder, so a package, an unpacked archive and an install
// under any prefix all start from a menu or from any terminal.
#pragma once
#include <string>

// The folder to play from: empty to stay in the working folder (it has the show, or no
// candidate has it and the start-up reports the missing files as ever), else the installed
// show: <program folder>/../share/lanternwhirl, then the program folder itself. hasShow says
// whether a folder holds the show's data folder.
std::string chooseShowFolder(const std::string& programFolder,
                             bool (*hasShow)(const std::string& folder));

// Makes the chosen folder the working folder, and says so once on standard error.
void enterShowFolder();
