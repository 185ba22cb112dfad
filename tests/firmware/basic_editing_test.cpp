// Working on a program: TRON and TROFF show the lines as they run.
#include "basic_session.h"

#include "machine/ports.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

using namespace basic_test;
using Rows = std::vector<std::string>;

namespace {

using Trace = BasicTest;

TEST_F(Trace, EachLineShowsItsNumberAsItStarts) {
    Rows out = runProgram({
        "5 TRON",
        "10 FOR I=1 TO 2",
        "20 PRINT I:NEXT:GOSUB 100",
        "30 TROFF",
        "40 PRINT \"E\":END",
        "100 RETURN",
    });
    // NEXT goes back into line 10, which goes on to line 20; GOSUB and
    // RETURN show the lines they reach.
    EXPECT_EQ(out, (Rows{"(10)(20) 1", "(20) 2", "(100)(30)E"}));
}

TEST_F(Trace, TracingLastsUntilTroffAndShowsWhereAnErrorStruck) {
    typeAndRun("TRON\r");
    enterProgram({"10 A=1", "20 B=A/0"});
    EXPECT_EQ(run("RUN"), (Rows{"(10)(20)", "DIVISION BY ZERO IN LINE 20"}));
    // RUN and NEW keep it; direct commands show nothing.
    EXPECT_EQ(run("PRINT 7"), Rows{" 7"});
    run("NEW");
    enterProgram({"10 PRINT \"X\";", "20 GOTO 40", "30 PRINT \"NOT\"", "40 PRINT \"Y\""});
    EXPECT_EQ(run("RUN"), Rows{"(10)X(20)(40)Y"});
    EXPECT_EQ(run("GOTO 40"), Rows{"(40)Y"});
    run("TROFF");
    EXPECT_EQ(run("RUN"), Rows{"XY"});
}

TEST_F(Trace, LinesPrintingToThePrinterAreShownOnTheScreen) {
    auto folder = scratchPath("trace-printer");
    std::filesystem::create_directories(folder);
    closePrinter();
    setPrinterDirectory(folder.string());
    Rows out = runProgram({"10 TRON:LPRINT \"P\";", "20 LPRINT \"Q\"", "30 PRINT \"S\""});
    closePrinter();
    std::ifstream file(folder / "printer.txt");
    std::stringstream content;
    content << file.rdbuf();
    // The printer has the text alone (after the line break the printer
    // file begins with), the screen the trace alone.
    EXPECT_EQ(content.str(), "\nPQ\n");
    EXPECT_EQ(out, Rows{"(20)(30)S"});
    std::filesystem::remove_all(folder);
}

TEST_F(Trace, TheWordsListAsTyped) {
    const Rows lines = {"10 TRON:IF A THEN TROFF"};
    enterProgram(lines);
    EXPECT_EQ(run("LIST"), lines);
}

} // namespace
