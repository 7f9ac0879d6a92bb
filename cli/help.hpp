#pragma once

// Help at the prompt, in every mode: "help" lists the functions with their
// arguments, "help NAME" shows one function's signature, what it computes,
// its checks in order with their messages, and an example, all taken from
// the function pages while building.

#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "cli/session.hpp"

namespace OruCli {

// The help on topic: the list of functions for an empty topic, the page of a
// function (its name in any letter case), or nothing for anything else.
std::optional<std::string> helpText(std::string_view topic);

// Runs line if it asks for help: "help", or "help NAME". Neither is a valid
// statement, except "help" alone once a variable of that name is defined,
// which then stays a statement showing that variable. The help is printed
// as text, or as the record {"kind":"help","text":"..."}; an unknown NAME is
// a syntax error. Returns the statement's status, or nothing when line is
// not a request for help.
std::optional<int> runHelp(const Session& session, std::string_view line, std::ostream& out, bool json);

}  // namespace OruCli
