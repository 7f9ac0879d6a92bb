#pragma once

// The help of the prompt, one entry per function page. The entries are
// generated while building, by help_generator.cpp, from the function pages
// docs/functions/*.md themselves, so the prompt and the pages never disagree.

#include <span>
#include <string_view>

namespace OruCli {

struct HelpPage {
    std::string_view name;        // "Ibeta"
    std::string_view signatures;  // "Ibeta(x, a, b)"; "Gamma(z), Gamma(a, x)"
    std::string_view summary;     // the page title's description
    std::string_view text;        // the whole help, lines ending in '\n'
};

// Every page, in the order of their file names.
std::span<const HelpPage> helpPages();

}  // namespace OruCli
