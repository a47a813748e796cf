#pragma once
// Where `pelmar import` and `pelmar export` log when --log names no file. The
// component's own default is ImportExport.log beside the program; installed
// in /usr/bin that cannot be written by its users and every log line would be
// lost, so then the log moves to the user's state folder. A host of the
// library that names no log keeps the component's default.
#include <string>

namespace pelmar::cli {

// "" when the component's default log can be written (the file, or the
// folder where it would be made). Else ImportExport.log in
// $XDG_STATE_HOME/pelmar, or in ~/.local/state/pelmar when that is unset or
// not absolute, the folder made owner-only; "" when neither names a folder.
std::string UserLogFile(const std::string& componentLog, const char* stateHome, const char* home);

// The same for this program and its environment.
std::string UserLogFile();

}  // namespace pelmar::cli
