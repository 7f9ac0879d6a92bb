#include <gtest/gtest.h>
#include <sys/wait.h>

#include <unistd.h>
#include <array>
#include <cstdio>
#include <fstream>
#include <string>

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

TEST(Program, HelpExplainsTheContract) {
    const Outcome help = runProgram("--help");
    EXPECT_EQ(help.status, 0);
    for (const char* topic : {"--json", "-f FILE", ":=", "linspace", "\"kind\":\"nested\"", "Exit status"})
        EXPECT_NE(help.out.find(topic), std::string::npos) << topic;
}

}  // namespace
