#include <gtest/gtest.h>
#include <sys/wait.h>

#include <unistd.h>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

namespace {

// ctest runs the tests of this file in parallel processes: every scratch
// file carries the test's name and the process id.
std::string scratchFile(const std::string& what) {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    return ::testing::TempDir() + "oru_cli_" + test->name() + "_" + std::to_string(getpid()) + "_" + what;
}

struct Outcome {
    std::string out;
    int status = -1;
};

// Runs the program through the shell with the given argument text (already
// quoted for the shell) and standard input taken from stdinText.
Outcome runProgram(const std::string& arguments, const std::string& stdinText = "") {
    const std::string input = scratchFile("stdin.txt");
    std::ofstream(input, std::ios::binary) << stdinText;
    const std::string command =
        std::string("'") + ORU_SPECIAL_PROGRAM + "' " + arguments + " < '" + input + "'";
    Outcome outcome;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return outcome;
    std::array<char, 4096> buffer{};
    std::size_t n = 0;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) outcome.out.append(buffer.data(), n);
    const int raw = pclose(pipe);
    outcome.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return outcome;
}

// The screen of a terminal of 80 x 60 characters in a private tmux server,
// running the shell command (without single quotes); keys are typed with
// send-keys.
class Terminal {
public:
    explicit Terminal(const std::string& command) : socket_(scratchFile("tmux")) {
        tmux("-f /dev/null new-session -d -x 80 -y 60 '" + command + "'");
        tmux("set-option -g remain-on-exit on");
    }
    ~Terminal() { tmux("kill-server"); }
    Terminal(const Terminal&) = delete;
    Terminal& operator=(const Terminal&) = delete;

    static bool available() { return std::system("tmux -V > /dev/null 2>&1") == 0; }
    void keys(const std::string& keys) {
        if (!keys.empty()) tmux("send-keys " + keys);
    }

    // The screen once it shows text, or as it is after ten seconds.
    std::string waitFor(const std::string& text) {
        std::string shown;
        for (int k = 0; k < 200 && shown.find(text) == std::string::npos; ++k) {
            if (k > 0) std::this_thread::sleep_for(std::chrono::milliseconds(50));
            shown = runProgramText("tmux -S '" + socket_ + "' capture-pane -p -S -200");
        }
        return shown;
    }

private:
    static std::string runProgramText(const std::string& command) {
        std::string text;
        FILE* pipe = popen(command.c_str(), "r");
        if (pipe == nullptr) return text;
        std::array<char, 4096> buffer{};
        for (std::size_t n; (n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0;)
            text.append(buffer.data(), n);
        pclose(pipe);
        return text;
    }
    void tmux(const std::string& arguments) {
        std::system(("tmux -S '" + socket_ + "' " + arguments + " > /dev/null 2>&1").c_str());
    }

    std::string socket_;
};

// One session at the prompt, as a person would type it: the history of an
// earlier run recalled, completion of a function and of a variable, Ctrl-C
// on a half-typed line, help on a function, Ctrl-D; the history kept.
TEST(Program, ThePromptEditsRecallsCompletesAndHelps) {
    if (!Terminal::available()) GTEST_SKIP() << "tmux is not installed";
    const std::string home = scratchFile("home");
    std::system(("mkdir -p '" + home + "'").c_str());
    std::ofstream(home + "/.oru_special_history") << "Leg(2, 0.5)\n";
    // The shell reports the exit status; Ctrl-C does not end it (a signal
    // it catches is the program's to handle).
    Terminal terminal("trap true INT; HOME=" + home + " " + ORU_SPECIAL_PROGRAM + "; echo exit status $?");
    if (terminal.waitFor("oru>").find("no line editing") != std::string::npos)
        GTEST_SKIP() << "built without GNU readline";

    // Types keys, as a person would once the prompt is back, and expects
    // shown once the screen shows awaited.
    const auto expect = [&](const std::string& keys, const std::string& awaited, const std::string& shown) {
        terminal.keys(keys);
        const std::string screen = terminal.waitFor(awaited);
        EXPECT_NE(screen.find(shown), std::string::npos) << "after " << keys << ":\n" << screen;
    };
    expect("Up Enter", "-0.125\noru>", "oru> Leg(2, 0.5)\n-0.125\n");
    expect("'width := 3' Enter", "3\noru>", "oru> width := 3\noru>");
    expect("Tch Tab '2, wi' Tab ')' Enter", "17\noru>", "oru> Tcheb(2, width)\n17\n");
    expect("'Gamma(5'", "Gamma(5", "Gamma(5");
    expect("C-c", "^C\noru>", "oru> Gamma(5^C\noru>");
    expect("1 Enter", "\n1\noru>", "oru> Gamma(5^C\noru> 1\n1\n");
    const std::string help = "limitations.\noru>";
    expect("'help Ibe' Tab Enter", help, "oru> help Ibeta\nIbeta — regularized incomplete beta function\n");
    expect("", help, "  4. a ≤ 0\n     → \"must be positive\", argument 2\n");
    expect("", help, "  $ oru-special --json 'Ibeta(0.3, 2, 3)'\n");
    expect("C-d", "exit status", "exit status 0");

    std::ifstream kept(home + "/.oru_special_history");
    const std::string history{std::istreambuf_iterator<char>(kept), {}};
    EXPECT_EQ(history, "Leg(2, 0.5)\nwidth := 3\nTcheb(2, width)\n1\nhelp Ibeta\n");
}

TEST(Program, TheChebyshevExampleExactly) {
    const Outcome o = runProgram("--json 'Tcheb(3, [0.5; 1; 2])'");
    EXPECT_EQ(o.out, "{\"kind\":\"matrix\",\"rows\":3,\"cols\":1,\"re\":[-1.0,1.0,26.0],\"im\":null}\n");
    EXPECT_EQ(o.status, 0);
}

TEST(Program, ExitStatusIsTheWorstOutcome) {
    EXPECT_EQ(runProgram("--json 'x := 2' 'x * 2'").status, 0);
    const Outcome failed = runProgram("--json 'Tcheb(1.5, 1)' '1'");
    EXPECT_EQ(failed.status, 1);
    EXPECT_EQ(failed.out,
              "{\"kind\":\"error\",\"message\":\"must be integer\",\"argument\":1}\n"
              "{\"kind\":\"scalar\",\"re\":1.0,\"im\":0.0}\n");
    EXPECT_EQ(runProgram("--json '1 +' 'Tcheb(1.5, 1)'").status, 2);
    EXPECT_EQ(runProgram("--json ''").out,
              "{\"kind\":\"syntax\",\"message\":\"empty statement\",\"column\":1}\n");
    EXPECT_EQ(runProgram("--json -1e999").status, 2);
    // Negative numbers are statements, not options; unknown options are
    // usage errors.
    EXPECT_EQ(runProgram("--json -1").out, "{\"kind\":\"scalar\",\"re\":-1.0,\"im\":0.0}\n");
    const Outcome usage = runProgram("--frobnicate 2>/dev/null");
    EXPECT_EQ(usage.status, 2);
    EXPECT_EQ(usage.out, "");
    EXPECT_EQ(runProgram("-f 2>/dev/null").status, 2);
    EXPECT_EQ(runProgram("-f /nonexistent/file 2>/dev/null").status, 2);
    // A directory opens but cannot be read: an error, not an abort.
    EXPECT_EQ(runProgram("-f '" + ::testing::TempDir() + "' 2>/dev/null").status, 2);
}

TEST(Program, StatementsFromFilesAndStandardInput) {
    const std::string script = scratchFile("script.txt");
    std::ofstream(script, std::ios::binary) << "# a script\r\nn := 3\r\n\r\nTcheb(n, 2)\r\nfoo\n";
    const Outcome fromFile = runProgram("--json -f '" + script + "'");
    EXPECT_EQ(fromFile.out,
              "{\"kind\":\"scalar\",\"re\":26.0,\"im\":0.0}\n"
              "{\"kind\":\"syntax\",\"message\":\"unknown name 'foo'\",\"column\":1}\n");
    EXPECT_EQ(fromFile.status, 2);

    const Outcome piped = runProgram("--json", std::string("1i\n\xFF\n2\0\n", 8));
    EXPECT_EQ(piped.out,
              "{\"kind\":\"scalar\",\"re\":0.0,\"im\":1.0}\n"
              "{\"kind\":\"syntax\",\"message\":\"unexpected byte 0xFF\",\"column\":1}\n"
              "{\"kind\":\"syntax\",\"message\":\"NUL byte\",\"column\":2}\n");
    EXPECT_EQ(runProgram("-f - --json", "Ucheb(2, 1)\n").out,
              "{\"kind\":\"scalar\",\"re\":3.0,\"im\":0.0}\n");

    // Readable output numbers the lines of a script.
    const Outcome readable = runProgram("-f '" + script + "'");
    EXPECT_EQ(readable.out, "26\nline 5: syntax error at column 1: unknown name 'foo'\n  foo\n  ^^^\n");
}

// One column per expression, a complex one as two; a value that makes no
// column, or a length that differs, is an error and no table is written.
TEST(Program, CsvColumnsForPlotting) {
    const Outcome table =
        runProgram("--csv 'x := linspace(0, 2, 3)' x 'Tcheb(2, x)' 'complex(x, [1; 0; -0.5])' 2>&1");
    EXPECT_EQ(table.out,
              "x,\"Tcheb(2, x)\",\"re(complex(x, [1; 0; -0.5]))\",\"im(complex(x, [1; 0; -0.5]))\"\n"
              "0,-1,0,1\n1,1,1,0\n2,7,2,-0.5\n");
    EXPECT_EQ(table.status, 0);
    const Outcome unequal = runProgram("--csv 'linspace(0, 1, 3)' '[1; 2]' 2>&1");
    EXPECT_EQ(
        unequal.out,
        "error: --csv needs columns of one length, but '[1; 2]' has 2 rows and 'linspace(0, 1, 3)' has 3\n"
        "oru-special: no CSV written\n");
    EXPECT_EQ(unequal.status, 1);
    EXPECT_EQ(runProgram("--csv -f - 2>&1", "1\n[1, 2]\n").out,
              "line 2: error: --csv makes a column of a number or a column vector, but '[1, 2]' is a 1 x 2 "
              "matrix\noru-special: no CSV written\n");
    EXPECT_EQ(runProgram("--csv 'Tcheb(-1, 2)' 2>/dev/null").out, "");
    EXPECT_EQ(runProgram("--csv --json 1 2>/dev/null").status, 2);
}

// help is no statement of the language: it works in every mode, and with
// --json it is one record; "help" stays a variable's name once defined.
TEST(Program, HelpAsAJsonRecord) {
    const Outcome help = runProgram("--json 'help Ibeta' 'help nothing' 'help := 2' help");
    const std::string record =
        "{\"kind\":\"help\",\"text\":\"Ibeta — regularized incomplete beta function\\n\\n";
    EXPECT_EQ(help.out.substr(0, record.size()), record);
    EXPECT_NE(help.out.find("\\\"must be between\\\\t0\\\\t1\\\""), std::string::npos);
    EXPECT_NE(help.out.find("\"}\n{\"kind\":\"syntax\",\"message\":\"no help on 'nothing': 'help' lists the "
                            "functions\",\"column\":6}\n{\"kind\":\"scalar\",\"re\":2.0,\"im\":0.0}\n"),
              std::string::npos);
    EXPECT_EQ(help.status, 2);
    EXPECT_NE(runProgram("--json help").out.find("  Ibeta(x, a, b)  "), std::string::npos);
}

TEST(Program, HelpExplainsTheContract) {
    const Outcome help = runProgram("--help");
    EXPECT_EQ(help.status, 0);
    for (const char* topic :
         {"--json", "--csv", "-f FILE", ":=", "linspace", "\"kind\":\"nested\"", "Exit status"})
        EXPECT_NE(help.out.find(topic), std::string::npos) << topic;
}

}  // namespace
