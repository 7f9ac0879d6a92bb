// Builds the help of the prompt from the function pages, while building:
//
//     help_generator OUTPUT.cpp PAGE.md...
//
// From each page it takes the title, the lead paragraph (the signature and
// what the function computes), the section "Checks and errors" (paragraphs
// and the table of checks, in order, with their messages) and the first
// example, and writes them as plain text for a terminal of 80 columns into
// OUTPUT.cpp, which defines OruCli::helpPages(). A page that lacks one of
// these parts stops the build: the help never silently loses a function.

#include <cstddef>
#include <fstream>
#include <iostream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr std::size_t kWidth = 79;
constexpr std::string_view kTitleDash = " \u2014 ";  // "Name — what it is"

struct PageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

std::vector<std::string> readLines(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw PageError("cannot read the page");
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

bool startsWith(std::string_view s, std::string_view prefix) {
    return s.substr(0, prefix.size()) == prefix;
}

std::string_view trim(std::string_view s) {
    const std::size_t first = s.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

// Stands for a space inside a code span, where wrap() does not break.
constexpr char kUnbreakable = '\x01';

// Markdown inline markup as plain text: `code` and **bold** lose their
// marks, a link keeps its text, an image is dropped.
std::string plainText(std::string_view s) {
    std::string out;
    bool code = false;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const bool image = s[i] == '!' && i + 1 < s.size() && s[i + 1] == '[';
        if (s[i] == '[' || image) {
            const std::size_t open = image ? i + 1 : i;
            const std::size_t close = s.find("](", open);
            const std::size_t end = close == std::string_view::npos ? close : s.find(')', close);
            if (end != std::string_view::npos) {
                if (!image) out += plainText(s.substr(open + 1, close - open - 1));
                i = end;
                continue;
            }
        }
        if (s[i] == '`') {
            code = !code;
            continue;
        }
        if (s[i] == '*' && i + 1 < s.size() && s[i + 1] == '*') {
            ++i;
            continue;
        }
        out += code && s[i] == ' ' ? kUnbreakable : s[i];
    }
    return out;
}

// Width on a terminal: every UTF-8 sequence is one column (the pages hold
// Greek letters and mathematical signs, no wide characters).
std::size_t columns(std::string_view s) {
    std::size_t n = 0;
    for (const char c : s)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++n;
    return n;
}

// A relation or operator standing alone stays with the words on both sides
// ("0 ≤ x ≤ 1" is never broken), so that no line ends or starts with one.
bool isOperator(std::string_view word) {
    for (const std::string_view op :
         {"<", ">", "=", "+", "\u2212", "\u2264", "\u2265", "\u2248", "\u2260", "\u00b7"})
        if (word == op) return true;
    return false;
}

// The words of text, each operator joined to its neighbours.
std::vector<std::string> words(std::string_view text) {
    std::istringstream in{std::string(text)};
    std::vector<std::string> out;
    bool glue = false;
    for (std::string word; in >> word;) {
        const bool op = isOperator(word);
        if ((glue || op) && !out.empty())
            out.back() += kUnbreakable + word;
        else
            out.push_back(word);
        glue = op;
    }
    return out;
}

// text reflowed to kWidth columns; the first line starts with first, every
// further one with rest (both usually indentation).
std::string wrap(std::string_view text, const std::string& first, const std::string& rest) {
    std::string out = first;
    std::size_t used = columns(first);
    bool lineEmpty = true;
    for (std::string word : words(text)) {
        if (!lineEmpty && used + 1 + columns(word) > kWidth) {
            out += '\n' + rest;
            used = columns(rest);
            lineEmpty = true;
        }
        if (!lineEmpty) {
            out += ' ';
            ++used;
        }
        for (char& c : word)
            if (c == kUnbreakable) c = ' ';
        out += word;
        used += columns(word);
        lineEmpty = false;
    }
    return out + '\n';
}

struct Page {
    std::string name;
    std::string summary;
    std::string file;
    std::vector<std::string> lines;
};

// The lines of the section "## heading", without the heading.
std::vector<std::string> section(const Page& page, std::string_view heading) {
    const std::string marker = "## " + std::string(heading);
    std::vector<std::string> body;
    bool inside = false;
    for (const std::string& line : page.lines) {
        if (startsWith(line, "## ")) {
            if (inside) break;
            inside = line == marker;
        } else if (inside) {
            body.push_back(line);
        }
    }
    if (!inside) throw PageError("no section '" + marker + "'");
    return body;
}

// The paragraph starting at lines[k] (k is moved past it), joined into one
// line.
std::string paragraph(const std::vector<std::string>& lines, std::size_t& k) {
    std::string text;
    for (; k < lines.size() && !trim(lines[k]).empty() && !startsWith(lines[k], "|"); ++k) {
        if (!text.empty()) text += ' ';
        text += trim(lines[k]);
    }
    return text;
}

// The lead paragraph, right under the title.
std::string lead(const Page& page) {
    std::size_t k = 1;
    while (k < page.lines.size() && trim(page.lines[k]).empty()) ++k;
    const std::string text = paragraph(page.lines, k);
    if (text.empty() || startsWith(text, "#")) throw PageError("no paragraph under the title");
    return text;
}

// The code spans of the lead that call the function: "Ibeta(x, a, b)".
std::string signatures(const Page& page, const std::string& leadText) {
    std::string found;
    for (std::size_t open = leadText.find('`'); open != std::string::npos;) {
        const std::size_t close = leadText.find('`', open + 1);
        if (close == std::string::npos) break;
        const std::string span = leadText.substr(open + 1, close - open - 1);
        if (startsWith(span, page.name + "(")) found += (found.empty() ? "" : ", ") + span;
        open = leadText.find('`', close + 1);
    }
    if (found.empty()) throw PageError("the lead paragraph shows no call of " + page.name);
    return found;
}

std::vector<std::string> cells(std::string_view row) {
    std::vector<std::string> out;
    row = trim(row);
    if (startsWith(row, "|")) row.remove_prefix(1);
    if (!row.empty() && row.back() == '|') row.remove_suffix(1);
    for (std::size_t start = 0;;) {
        const std::size_t bar = row.find('|', start);
        out.push_back(plainText(trim(row.substr(start, bar - start))));
        if (bar == std::string_view::npos) break;
        start = bar + 1;
    }
    return out;
}

// A table of checks, "| # | Check | Message | Argument |": one numbered
// entry per check, its message and the argument it marks under it.
std::string checksTable(const std::vector<std::string>& lines, std::size_t& k) {
    const std::vector<std::string> header = cells(lines[k]);
    if (header.size() != 4 || header[1] != "Check" || header[2] != "Message")
        throw PageError("a table of checks must have the columns # | Check | Message | Argument");
    std::string out;
    for (k += 2; k < lines.size() && startsWith(lines[k], "|"); ++k) {
        const std::vector<std::string> row = cells(lines[k]);
        if (row.size() != 4) throw PageError("a row of the table of checks has not four cells");
        const std::string number = "  " + row[0] + ". ";
        const std::string indent(columns(number), ' ');
        const bool none = startsWith(row[3], "none");
        out += wrap(row[1], number, indent);
        out += wrap("\u2192 " + row[2] +
                        (none ? ", no argument (\u2212"
                                "1)"
                              : ", argument " + row[3]),
                    indent, indent + "  ");
    }
    return out;
}

std::string checks(const Page& page) {
    const std::vector<std::string> lines = section(page, "Checks and errors");
    std::string out = "Checks and errors\n";
    bool table = false;
    for (std::size_t k = 0; k < lines.size();) {
        if (trim(lines[k]).empty()) {
            ++k;
        } else if (startsWith(lines[k], "|")) {
            out += checksTable(lines, k);
            table = true;
        } else {
            out += wrap(plainText(paragraph(lines, k)), "  ", "  ");
        }
    }
    if (!table) throw PageError("the section on checks has no table");
    return out;
}

// The first example: the command and the lines it prints.
std::string example(const Page& page) {
    const std::vector<std::string> lines = section(page, "Examples");
    std::string out;
    for (const std::string& line : lines) {
        const bool command = startsWith(line, "$ ");
        if (out.empty() && !command) continue;
        if (!out.empty() && (command || startsWith(line, "```"))) break;
        out += "  " + line + "\n";
    }
    if (out.empty()) throw PageError("no example");
    return "Example\n" + out;
}

Page readPage(const std::string& path) {
    Page page;
    page.lines = readLines(path);
    const std::string& title = page.lines.empty() ? std::string() : page.lines[0];
    const std::size_t dash = title.find(kTitleDash);
    if (!startsWith(title, "# ") || dash == std::string::npos)
        throw PageError("the first line must be '# Name \u2014 what it is'");
    page.name = title.substr(2, dash - 2);
    page.summary = title.substr(dash + kTitleDash.size());
    page.file = path.substr(path.rfind("docs/") == std::string::npos ? 0 : path.rfind("docs/"));
    return page;
}

std::string helpText(const Page& page, const std::string& leadText) {
    return page.name + std::string(kTitleDash) + page.summary + "\n\n" + wrap(plainText(leadText), "", "") +
           "\n" + checks(page) + "\n" + example(page) + "\n" +
           wrap("More in " + page.file + ": definition, method, accuracy and limitations.", "", "");
}

// s as the body of a C++ string literal.
std::string literal(std::string_view s) {
    std::string out = "\"";
    for (const char c : s) {
        if (c == '"' || c == '\\') out += '\\';
        if (c == '\n') {
            out += "\\n\"\n        \"";
            continue;
        }
        out += c;
    }
    return out + "\"";
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::cerr << "usage: help_generator OUTPUT.cpp PAGE.md...\n";
        return 2;
    }
    std::ostringstream entries;
    for (int k = 2; k < argc; ++k) {
        try {
            const Page page = readPage(argv[k]);
            const std::string leadText = lead(page);
            entries << "    {" << literal(page.name) << ", " << literal(signatures(page, leadText)) << ", "
                    << literal(page.summary) << ",\n        " << literal(helpText(page, leadText)) << "},\n";
        } catch (const PageError& e) {
            std::cerr << argv[k] << ": " << e.what() << '\n';
            return 1;
        }
    }
    std::ofstream out(argv[1], std::ios::binary);
    out << "// Generated from the function pages by help_generator; edit the pages instead.\n"
        << "#include \"cli/help_pages.hpp\"\n\n#include <array>\n\nnamespace OruCli {\n\nnamespace {\n\n"
        << "constexpr std::array<HelpPage, " << argc - 2 << "> Pages{{\n"
        << entries.str() << "}};\n\n}  // namespace\n\n"
        << "std::span<const HelpPage> helpPages() {\n    return Pages;\n}\n\n}  // namespace OruCli\n";
    out.close();
    if (!out) {
        std::cerr << argv[1] << ": cannot write\n";
        return 1;
    }
    return 0;
}
