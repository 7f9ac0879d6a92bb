#pragma once

// The interactive prompt with line editing: the arrow keys move and recall,
// the history is kept between runs in ~/.oru_special_history (the last
// 1000 lines), Tab completes the names of the functions and variables,
// Ctrl-C clears the line and Ctrl-D on an empty line ends the session.
// It is built on GNU readline when the build found it; only the program
// links it, never the library.

#include <functional>
#include <string>

#include "cli/session.hpp"

namespace OruCli {

// Whether this build of the program edits lines.
bool hasLineEditing();

// Runs the lines typed at the prompt "oru> " (written to standard error)
// until Ctrl-D, each through runLine, which returns its status; returns the
// worst. Needs hasLineEditing() and a terminal on standard input.
// Completion offers session's variables as they are defined.
int runEditedPrompt(const Session& session, const std::function<int(const std::string&)>& runLine);

}  // namespace OruCli
