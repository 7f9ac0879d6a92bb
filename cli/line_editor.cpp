#include "cli/line_editor.hpp"

#ifdef ORU_HAVE_READLINE

#include <readline/history.h>
#include <readline/readline.h>
#include <sys/select.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string_view>
#include <vector>

#include "cli/functions.hpp"

namespace OruCli {

namespace {

constexpr const char* kPrompt = "oru> ";
constexpr int kHistoryLines = 1000;

// ---- completion ---------------------------------------------------------------

// Readline's callbacks take no context: the session whose variables are
// offered, and the candidates of the completion under way.
const Session* completionSession = nullptr;
std::vector<std::string> candidates;
std::size_t nextCandidate = 0;

bool isHelpTopic(int start) {
    const std::string_view before(rl_line_buffer, static_cast<std::size_t>(std::max(start, 0)));
    const std::size_t first = before.find_first_not_of(' ');
    return first != std::string_view::npos && before.substr(first, 4) == "help" &&
           before.find_first_not_of(' ', first + 4) == std::string_view::npos && before.size() > first + 4;
}

// After "help " only the library's functions; elsewhere every function,
// null and the variables, and help itself at the start of the line.
std::vector<std::string> namesFor(int start) {
    std::vector<std::string> names;
    const bool topic = isHelpTopic(start);
    for (const FunctionInfo& f : allFunctions())
        if (!topic || f.builtin == Builtin::Library) names.emplace_back(f.name);
    if (topic) return names;
    names.emplace_back("null");
    if (std::string_view(rl_line_buffer, static_cast<std::size_t>(std::max(start, 0)))
            .find_first_not_of(' ') == std::string_view::npos)
        names.emplace_back("help");
    for (std::string& name : completionSession->variableNames()) names.push_back(std::move(name));
    return names;
}

char* candidateFor(const char* text, int state) {
    if (state == 0) nextCandidate = 0;
    const std::string_view prefix(text);
    while (nextCandidate < candidates.size()) {
        const std::string& name = candidates[nextCandidate++];
        if (name.starts_with(prefix)) return strdup(name.c_str());
    }
    return nullptr;
}

// A function completes with its opening parenthesis, other names with
// nothing after them (a ',' or ')' usually follows).
char** complete(const char* text, int start, int) {
    rl_attempted_completion_over = 1;  // never file names
    candidates = namesFor(start);
    char** matches = rl_completion_matches(text, candidateFor);
    const bool single = matches != nullptr && matches[1] == nullptr;
    const bool call = single && findFunction(matches[0]) != nullptr && !isHelpTopic(start);
    rl_completion_append_character = call ? '(' : single && std::strcmp(matches[0], "help") == 0 ? ' ' : '\0';
    return matches;
}

// ---- history ----------------------------------------------------------------------

// The history file in the home directory, or none without one. Every line
// is appended as soon as it is entered, so that a session ended by Ctrl-C
// during a call keeps it too.
class History {
public:
    History() {
        const char* home = std::getenv("HOME");
        if (home != nullptr && *home != '\0') path_ = std::string(home) + "/.oru_special_history";
        using_history();
        stifle_history(kHistoryLines);
        if (!path_.empty()) read_history(path_.c_str());
    }
    History(const History&) = delete;
    History& operator=(const History&) = delete;
    ~History() { clear_history(); }

    // Blank lines and a repeat of the line before are not kept.
    void add(const std::string& line) {
        if (line.find_first_not_of(" \t") == std::string::npos) return;
        const HIST_ENTRY* last =
            history_length > 0 ? history_get(history_base + history_length - 1) : nullptr;
        if (last != nullptr && line == last->line) return;
        add_history(line.c_str());
        if (path_.empty() || failed_) return;
        int error = append_history(1, path_.c_str());
        if (error == ENOENT) error = write_history(path_.c_str());
        if (error == 0) error = history_truncate_file(path_.c_str(), kHistoryLines);
        if (error != 0) {
            std::fprintf(stderr, "oru-special: cannot keep the history in %s: %s\n", path_.c_str(),
                         std::strerror(error));
            failed_ = true;
        }
    }

private:
    std::string path_;
    bool failed_ = false;
};

// ---- reading a line -----------------------------------------------------------------

std::string accepted;
bool lineDone = false;
bool endOfInput = false;

// Called by readline with the finished line, or null at Ctrl-D on an empty
// line. Removing the handler here leaves the terminal as it was, so that
// the statement's output does not meet a new prompt.
void onLine(char* line) {
    lineDone = true;
    endOfInput = line == nullptr;
    accepted = line != nullptr ? line : "";
    std::free(line);
    rl_callback_handler_remove();
}

// Ctrl-C: as in a shell, the line is left on the screen marked "^C", and
// the prompt starts afresh below it.
void abandonLine() {
    rl_free_line_state();
    rl_callback_sigcleanup();
    rl_point = rl_end;
    rl_redisplay();
    std::fputs("^C", rl_outstream);
    rl_crlf();
    rl_replace_line("", 0);
    rl_on_new_line();
    rl_redisplay();
}

// The signals the prompt handles itself, between the keys: Ctrl-C, a new
// window size, and those that stop or end the program, which must find the
// terminal as the program found it.
constexpr std::array<int, 6> kPromptSignalNumbers{SIGINT, SIGWINCH, SIGTSTP, SIGTERM, SIGHUP, SIGQUIT};
volatile std::sig_atomic_t caught[kPromptSignalNumbers.size()] = {};

void onSignal(int signal) {
    for (std::size_t k = 0; k < kPromptSignalNumbers.size(); ++k)
        if (kPromptSignalNumbers[k] == signal) caught[k] = 1;
}

// While the prompt waits, these signals are blocked except in the wait
// itself, so that none is lost between a check and the wait. Around the
// prompt they keep their own dispositions: Ctrl-C during a call ends the
// program. A signal the program was started to ignore stays ignored (Ctrl-C
// excepted, which at the prompt only clears the line).
class PromptSignals {
public:
    PromptSignals() {
        sigemptyset(&handled_);
        for (std::size_t k = 0; k < kPromptSignalNumbers.size(); ++k) {
            const int signal = kPromptSignalNumbers[k];
            sigaction(signal, nullptr, &old_[k]);
            if (old_[k].sa_handler == SIG_IGN && signal != SIGINT) continue;
            install(signal);
            sigaddset(&handled_, signal);
        }
        sigprocmask(SIG_BLOCK, &handled_, &waiting_);
        for (const int signal : kPromptSignalNumbers) sigdelset(&waiting_, signal);
    }
    PromptSignals(const PromptSignals&) = delete;
    PromptSignals& operator=(const PromptSignals&) = delete;
    ~PromptSignals() {
        sigprocmask(SIG_UNBLOCK, &handled_, nullptr);  // a late signal meets the handler, not the call
        for (std::size_t k = 0; k < kPromptSignalNumbers.size(); ++k) {
            sigaction(kPromptSignalNumbers[k], &old_[k], nullptr);
            caught[k] = 0;
        }
    }

    // Waits until the descriptor can be read or a signal came; false on an
    // error of the descriptor.
    bool wait(int descriptor) const {
        fd_set input;
        FD_ZERO(&input);
        FD_SET(descriptor, &input);
        return pselect(descriptor + 1, &input, nullptr, nullptr, nullptr, &waiting_) >= 0 || errno == EINTR;
    }

    // The first signal that came, during the wait or (still pending, when
    // the input was ready at once) after it, or 0; a pending one is taken.
    int took() const {
        sigset_t pending;
        sigpending(&pending);
        for (std::size_t k = 0; k < kPromptSignalNumbers.size(); ++k) {
            const int signal = kPromptSignalNumbers[k];
            if (sigismember(&handled_, signal) == 1 && sigismember(&pending, signal) == 1) {
                sigset_t just;
                sigemptyset(&just);
                sigaddset(&just, signal);
                const timespec now{};
                sigtimedwait(&just, nullptr, &now);
                caught[k] = 1;
            }
            if (caught[k] != 0) {
                caught[k] = 0;
                return signal;
            }
        }
        return 0;
    }

    // Lets signal do what it would without the prompt (stop the program,
    // or end it), with the terminal restored; after a stop, the prompt
    // comes back as it was.
    void deliver(int signal) {
        const std::size_t k = indexOf(signal);
        rl_cleanup_after_signal();
        sigaction(signal, &old_[k], nullptr);
        sigset_t just;
        sigemptyset(&just);
        sigaddset(&just, signal);
        raise(signal);
        sigprocmask(SIG_UNBLOCK, &just, nullptr);
        sigprocmask(SIG_BLOCK, &just, nullptr);
        install(signal);
        rl_reset_after_signal();
        rl_forced_update_display();
    }

private:
    static std::size_t indexOf(int signal) {
        std::size_t k = 0;
        while (k + 1 < kPromptSignalNumbers.size() && kPromptSignalNumbers[k] != signal) ++k;
        return k;
    }
    static void install(int signal) {
        struct sigaction action {};
        sigemptyset(&action.sa_mask);
        action.sa_handler = onSignal;
        sigaction(signal, &action, nullptr);
    }

    std::array<struct sigaction, kPromptSignalNumbers.size()> old_{};
    sigset_t handled_{};
    sigset_t waiting_{};
};

// The next line typed, or nothing at the end of the input.
std::optional<std::string> readEditedLine() {
    PromptSignals signals;
    lineDone = false;
    rl_callback_handler_install(kPrompt, onLine);
    while (!lineDone) {
        const bool ready = signals.wait(fileno(rl_instream));
        const int signal = signals.took();
        if (signal == SIGINT) {
            abandonLine();
        } else if (signal == SIGWINCH) {
            rl_resize_terminal();
        } else if (signal != 0) {
            signals.deliver(signal);
        } else if (!ready) {
            rl_callback_handler_remove();
            return std::nullopt;
        } else {
            rl_callback_read_char();
        }
    }
    if (endOfInput) return std::nullopt;
    return accepted;
}

}  // namespace

bool hasLineEditing() {
    return true;
}

int runEditedPrompt(const Session& session, const std::function<int(const std::string&)>& runLine) {
    static char wordBreaks[] = " \t\n\"()[],;+-*/:=#";
    completionSession = &session;
    rl_readline_name = "oru-special";
    rl_instream = stdin;
    rl_outstream = stderr;
    rl_catch_signals = 0;  // the signals are handled here, see PromptSignals
    rl_catch_sigwinch = 0;
    rl_attempted_completion_function = complete;
    rl_completer_word_break_characters = wordBreaks;
    History history;
    int status = 0;
    while (const std::optional<std::string> line = readEditedLine()) {
        history.add(*line);
        status = std::max(status, runLine(*line));
    }
    std::fputc('\n', stderr);
    completionSession = nullptr;
    return status;
}

}  // namespace OruCli

#else  // built without GNU readline

namespace OruCli {

bool hasLineEditing() {
    return false;
}

int runEditedPrompt(const Session&, const std::function<int(const std::string&)>&) {
    return 2;
}

}  // namespace OruCli

#endif
