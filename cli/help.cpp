#include "cli/help.hpp"

#include <algorithm>
#include <vector>

#include "cli/functions.hpp"
#include "cli/help_pages.hpp"
#include "cli/lexer.hpp"
#include "cli/statement.hpp"
#include "cli/text.hpp"

namespace OruCli {

namespace {

const HelpPage* findPage(std::string_view name) {
    for (const HelpPage& page : helpPages())
        if (page.name == name) return &page;
    return nullptr;
}

std::size_t columns(std::string_view s) {
    return static_cast<std::size_t>(std::count_if(
        s.begin(), s.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

// One line per library function, in the order of the function table, with
// the signatures and the title of its page.
std::string overview() {
    struct Row {
        std::string_view signatures, summary;
    };
    std::vector<Row> rows;
    std::size_t width = 0;
    for (const FunctionInfo& f : allFunctions()) {
        if (f.builtin != Builtin::Library) continue;
        const HelpPage* page = findPage(f.name);
        rows.push_back(page != nullptr ? Row{page->signatures, page->summary} : Row{f.usage, {}});
        width = std::max(width, columns(rows.back().signatures));
    }
    std::string text = "Functions (help NAME shows the checks, messages and an example of one):\n";
    for (const Row& row : rows)
        text += "  " + std::string(row.signatures) + std::string(width + 2 - columns(row.signatures), ' ') +
                std::string(row.summary) + "\n";
    text +=
        "Values: 2.5  2i  \"text\"  null  [1; 2; 3]  complex(re, im)  linspace(a, b, n)\n"
        "+ - * / work on scalars, and NAME := EXPR defines a variable.\n"
        "oru-special --help explains the rest.\n";
    return text;
}

// A request for help: the topic and its byte range in the line.
struct Request {
    std::string topic;
    std::size_t begin = 0;
    std::size_t end = 0;
};

std::optional<Request> helpRequest(const Session& session, std::string_view line) {
    const std::size_t first = line.find_first_not_of(" \t");
    if (first == std::string_view::npos || line.substr(first, 4) != "help") return std::nullopt;
    std::vector<Token> tokens;
    try {
        tokens = tokenize(line);
    } catch (const SyntaxError&) {
        return std::nullopt;
    }
    if (tokens.size() < 2 || tokens[0].kind != TokenKind::Name || tokens[0].text != "help")
        return std::nullopt;
    if (tokens[1].kind == TokenKind::End)
        return session.lookup("help") == nullptr ? std::optional<Request>(Request{}) : std::nullopt;
    if (tokens.size() == 3 && tokens[1].kind == TokenKind::Name)
        return Request{tokens[1].text, tokens[1].begin, tokens[1].end};
    return std::nullopt;
}

}  // namespace

std::optional<std::string> helpText(std::string_view topic) {
    if (topic.empty()) return overview();
    const FunctionInfo* function = findFunctionIgnoringCase(topic);
    const HelpPage* page = function != nullptr ? findPage(function->name) : nullptr;
    if (page == nullptr) return std::nullopt;
    return std::string(page->text);
}

std::optional<int> runHelp(const Session& session, std::string_view line, std::ostream& out, bool json) {
    const std::optional<Request> request = helpRequest(session, line);
    if (!request) return std::nullopt;
    const std::optional<std::string> text = helpText(request->topic);
    if (!text) {
        const SyntaxError unknown{"no help on '" + request->topic + "': 'help' lists the functions",
                                  request->begin, request->end};
        return reportSyntaxError(session, line, unknown, out, json);
    }
    if (json)
        out << "{\"kind\":\"help\",\"text\":\"" << jsonEscape(*text) << "\"}\n";
    else
        out << *text;
    return StatementOk;
}

}  // namespace OruCli
