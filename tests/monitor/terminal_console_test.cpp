// The terminal console: whole lines with their newline, overlong lines cut
// without leaking their rest into the next command, no colour sequences when
// the output is not a terminal.
#include "monitor/terminal_console.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

std::string contents(std::FILE* file) {
    std::fflush(file);
    std::rewind(file);
    std::string text;
    int c;
    while ((c = std::fgetc(file)) != EOF)
        text += static_cast<char>(c);
    return text;
}

TEST(TerminalConsole, ReadsLinesAndCutsOverlongOnesUntilTheInputEnds) {
    std::FILE* in = std::tmpfile();
    std::FILE* out = std::tmpfile();
    ASSERT_TRUE(in && out);
    std::fputs("m 8000\n", in);
    std::fputs(std::string(300, 'a').c_str(), in);
    std::fputs("\nr", in); // the last line has no newline
    std::rewind(in);

    TerminalConsole terminal;
    terminalConsoleInit(terminal, in, out);
    MonitorConsole console = terminalMonitorConsole(&terminal);
    char line[257];
    ASSERT_EQ(console.readLine(console.context, line, sizeof line), 1);
    EXPECT_STREQ(line, "m 8000\n");
    ASSERT_EQ(console.readLine(console.context, line, sizeof line), 1);
    EXPECT_EQ(std::string(line), std::string(255, 'a') + "\n");
    ASSERT_EQ(console.readLine(console.context, line, sizeof line), 1);
    EXPECT_STREQ(line, "r\n");
    EXPECT_EQ(console.readLine(console.context, line, sizeof line), 0);
    // After the end of input the console cannot be had any more.
    EXPECT_EQ(console.open(console.context, "Interactive monitor"), 0);
    std::fclose(in);
    std::fclose(out);
}

TEST(TerminalConsole, PlainTextWhenNotATerminal) {
    std::FILE* out = std::tmpfile();
    ASSERT_TRUE(out);
    TerminalConsole terminal;
    terminalConsoleInit(terminal, stdin, out);
    EXPECT_FALSE(terminal.colour);
    MonitorConsole console = terminalMonitorConsole(&terminal);
    ASSERT_EQ(console.open(console.context, "Interactive monitor"), 1);
    console.write(console.context, "green ", MonitorTextNormal);
    console.write(console.context, "white\n", MonitorTextBright);
    console.close(console.context);
    EXPECT_EQ(contents(out), "green white\n");
    EXPECT_EQ(console.columns(console.context), 80);
    std::fclose(out);
}

TEST(TerminalConsole, ColourSequencesOnlyWhenTheAttributeChanges) {
    std::FILE* out = std::tmpfile();
    ASSERT_TRUE(out);
    TerminalConsole terminal;
    terminalConsoleInit(terminal, stdin, out);
    terminal.colour = true; // as on a terminal
    MonitorConsole console = terminalMonitorConsole(&terminal);
    ASSERT_EQ(console.open(console.context, "Interactive monitor"), 1);
    console.write(console.context, "a", MonitorTextNormal);
    console.write(console.context, "b", MonitorTextNormal);
    console.write(console.context, "c", MonitorTextBright);
    console.close(console.context);
    EXPECT_EQ(contents(out), "\033]0;Interactive monitor\007\033[0;92mab\033[1;97mc\033[0m");
    std::fclose(out);
}

} // namespace
