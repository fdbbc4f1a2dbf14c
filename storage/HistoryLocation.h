#pragma once
// Where the card history is kept: the path named with --history, else the variable
// VALDINA_HISTORY, else the user's data folder ($XDG_DATA_HOME/valdina/history.sqlite,
// %LOCALAPPDATA%\Valdina\history.sqlite). Only that last folder is made when missing;
// a folder the operator named must be there.

#include <string>

struct HistoryLocation {
    std::string path;      // empty: no place for it (problem says why)
    bool chosen = false;   // named by --history or VALDINA_HISTORY
    std::string problem;
};

// `option`: the path given with --history, empty when none.
HistoryLocation ChooseHistoryLocation(const std::string& option);
