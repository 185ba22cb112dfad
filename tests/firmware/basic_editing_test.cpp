// Working on a program: TRON and TROFF show the lines as they run; AUTO
// offers line numbers, DELETE removes lines and EDIT brings one back into
// the input line, whose editing keys every typed line has.
#include "basic_session.h"

#include "machine/keyboard.h"
#include "machine/ports.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <utility>

#include <gtest/gtest.h>

using namespace basic_test;
using Rows = std::vector<std::string>;

namespace {

// Types keys without waiting for a prompt (AUTO and EDIT leave text in
// the input line), then lets the machine take them.
void typeKeys(const std::string& keys) {
    typeText(keys.c_str());
    while (typingInProgress())
        runFrames(1);
    runFrames(5);
}

// The row the cursor's input line is on: the last row that is not blank.
std::string lastRow() {
    Rows rows = screenRows();
    while (!rows.empty() && rows.back().empty())
        rows.pop_back();
    return rows.empty() ? std::string() : rows.back();
}

const char CtrlA = 0x01, CtrlB = 0x02, CtrlD = 0x04, CtrlE = 0x05, Back = 0x08, Right = 0x09;

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

TEST_F(Trace, AJumpToTheStartOfALineShowsItAgain) {
    // The line runs three times from its start; a jump back into the
    // middle of a line (NEXT) does not count as a start.
    Rows out = runProgram({"5 TRON", "10 PRINT \"A\";:N=N+1:IF N<3 THEN 10",
                           "20 FOR I=1 TO 2:PRINT \"B\";:NEXT:TROFF"});
    EXPECT_EQ(out, Rows{"(10)A(10)A(10)A(20)BB"});
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

using Auto = BasicTest;

TEST_F(Auto, OffersTheNextNumberUntilAnEmptyLine) {
    run("AUTO");
    EXPECT_EQ(lastRow(), ">10");
    typeKeys("PRINT 1\rPRINT 2\r");
    EXPECT_EQ(lastRow(), ">30");
    typeKeys("\r");
    EXPECT_EQ(run("LIST"), (Rows{"10 PRINT 1", "20 PRINT 2"}));
    // A start and a step; the number may be changed, and the next follows
    // the number entered.
    run("AUTO 100,5");
    typeKeys("A=1\r");
    EXPECT_EQ(lastRow(), ">105");
    typeKeys(std::string(4, Back) + "200 B=2\r");
    EXPECT_EQ(lastRow(), ">205");
    typeKeys("\r");
    EXPECT_EQ(run("LIST 100-"), (Rows{"100 A=1", "200 B=2"}));
}

TEST_F(Auto, AnEmptyLineNeverDeletesTheLineOffered) {
    enterProgram({"10 PRINT \"KEEP\"", "20 PRINT \"TOO\""});
    run("AUTO");
    typeKeys("\r");
    EXPECT_EQ(run("LIST"), (Rows{"10 PRINT \"KEEP\"", "20 PRINT \"TOO\""}));
    // Text typed on an offered number replaces that line only.
    run("AUTO 20");
    typeKeys("PRINT \"NEW\"\r\r");
    EXPECT_EQ(run("LIST"), (Rows{"10 PRINT \"KEEP\"", "20 PRINT \"NEW\""}));
}

TEST_F(Auto, BreakACommandAnErrorOrTheLastNumberEndIt) {
    run("AUTO");
    pressBreak();
    EXPECT_EQ(run("PRINT 5"), Rows{" 5"});
    // A line without a number runs as a command and ends AUTO.
    run("AUTO 50");
    typeKeys(std::string(3, Back) + "PRINT 6\r");
    EXPECT_EQ(lastRow(), ">");
    run("AUTO 32760,5");
    typeKeys("A=1\r");
    EXPECT_EQ(lastRow(), ">32765");
    typeKeys("B=2\r");
    EXPECT_EQ(lastRow(), ">");
    EXPECT_EQ(run("LIST 32760-"), (Rows{"32760 A=1", "32765 B=2"}));
    // A line refused ends it too.
    run("AUTO 40");
    typeKeys(std::string(3, Back) + "0 X=1\r");
    EXPECT_EQ(lastRow(), ">");
    for (auto [bad, message] : {std::pair{"AUTO 0", "BAD LINE NUMBER"},
                                {"AUTO 40000", "BAD LINE NUMBER"},
                                {"AUTO 10,0", "BAD ARGUMENT"},
                                {"AUTO 10,", "SYNTAX ERROR"},
                                {"AUTO X", "SYNTAX ERROR"}})
        EXPECT_EQ(run(bad), Rows{message}) << bad;
}

using Delete = BasicTest;

TEST_F(Delete, TheLinesGoAndTheRestAndTheVariablesStay) {
    enterProgram({
        "10 A=5:B$=\"KEEP\"+\"ME\":DIM C(3),D$(2)",
        "15 C(2)=7:D$(1)=\"ARR\"+\"AY\"",
        "20 PRINT \"TWENTY\"",
        "30 PRINT \"THIRTY\"",
        "40 DEF FN F(X)=X*A",
        "50 PRINT \"FIFTY\"",
    });
    EXPECT_EQ(run("RUN"), (Rows{"TWENTY", "THIRTY", "FIFTY"}));
    EXPECT_EQ(run("DELETE 20-30"), Rows{});
    EXPECT_EQ(run("LIST"),
              (Rows{"10 A=5:B$=\"KEEP\"+\"ME\":DIM C(3),D$(2)", "15 C(2)=7:D$(1)=\"ARR\"+\"AY\"",
                    "40 DEF FN F(X)=X*A", "50 PRINT \"FIFTY\""}));
    EXPECT_EQ(run("PRINT A;B$;C(2);D$(1);FN F(3)"), Rows{" 5 KEEPME 7 ARRAY 15"});
    // The strings' heap still knows its owners: a collection keeps them.
    EXPECT_EQ(run("FOR I=1 TO 300:Z$=STR$(I)+\"JUNK\":NEXT:X=FRE(0):PRINT B$;D$(1);Z$"),
              Rows{"KEEPMEARRAY 300JUNK"});
    EXPECT_EQ(run("CONT"), Rows{"CAN'T CONTINUE"});
    EXPECT_EQ(run("RUN"), Rows{"FIFTY"});
}

TEST_F(Delete, EveryFormOfTheRange) {
    const Rows program = {"10 REM A", "20 REM B", "30 REM C", "40 REM D", "50 REM E"};
    enterProgram(program);
    run("DELETE 30");
    EXPECT_EQ(run("LIST"), (Rows{"10 REM A", "20 REM B", "40 REM D", "50 REM E"}));
    run("DELETE -20");
    EXPECT_EQ(run("LIST"), (Rows{"40 REM D", "50 REM E"}));
    run("DELETE 45-");
    EXPECT_EQ(run("LIST"), (Rows{"40 REM D"}));
    run("NEW");
    enterProgram(program);
    run("DELETE 15-45");
    EXPECT_EQ(run("LIST"), (Rows{"10 REM A", "50 REM E"}));
}

TEST_F(Delete, NothingToDeleteIsRefusedAndChangesNothing) {
    enterProgram({"10 A=1", "20 B=2"});
    run("RUN");
    for (auto [bad, message] : {std::pair{"DELETE 15", "LINE NOT FOUND"},
                                {"DELETE 21-99", "LINE NOT FOUND"},
                                {"DELETE", "SYNTAX ERROR"},
                                {"DELETE X", "SYNTAX ERROR"},
                                {"DELETE 70000", "BAD LINE NUMBER"}})
        EXPECT_EQ(run(bad), Rows{message}) << bad;
    EXPECT_EQ(run("LIST"), (Rows{"10 A=1", "20 B=2"}));
    EXPECT_EQ(run("PRINT A;B"), Rows{" 1  2"});
}

TEST_F(Delete, AFunctionWhoseLineWentIsUndefined) {
    enterProgram({"10 DEF FN A(X)=X+1", "20 DEF FN B(X)=X+2", "30 PRINT FN A(1);FN B(1)"});
    EXPECT_EQ(run("RUN"), Rows{" 2  3"});
    run("DELETE 10");
    EXPECT_EQ(run("PRINT FN B(5)"), Rows{" 7"});
    EXPECT_EQ(run("PRINT FN A(5)"), Rows{"UNDEFINED FUNCTION"});
}

using Edit = BasicTest;

TEST_F(Edit, TheLineComesBackWithTheCursorAfterItsNumber) {
    enterProgram({"10 PRINT \"A\"", "20 PRINT 123", "30 PRINT \"C\""});
    run("EDIT 20");
    EXPECT_EQ(lastRow(), ">20 PRINT 123");
    // Six places right is the 1: a minus goes in before it.
    typeKeys(std::string(6, Right) + "-\r");
    EXPECT_EQ(run("LIST"), (Rows{"10 PRINT \"A\"", "20 PRINT -123", "30 PRINT \"C\""}));
    // To the end, back one, erase the 2 before the cursor and the 3 at it.
    run("EDIT 20");
    typeKeys(std::string(1, CtrlE) + CtrlB + Back + CtrlD + "9");
    EXPECT_EQ(lastRow(), ">20 PRINT -19"); // nothing left of the longer line
    typeKeys("\r");
    EXPECT_EQ(run("LIST 20"), Rows{"20 PRINT -19"});
}

TEST_F(Edit, ANewNumberMakesANewLineAndLeavesTheOldOne) {
    enterProgram({"10 PRINT 1", "20 PRINT 2"});
    run("EDIT 20");
    typeKeys(std::string(1, CtrlA) + CtrlD + CtrlD + "25\r");
    EXPECT_EQ(run("LIST"), (Rows{"10 PRINT 1", "20 PRINT 2", "25 PRINT 2"}));
    // BREAK abandons the edit: nothing changes.
    run("EDIT 10");
    typeKeys("XYZ");
    pressBreak();
    EXPECT_EQ(run("LIST"), (Rows{"10 PRINT 1", "20 PRINT 2", "25 PRINT 2"}));
    EXPECT_EQ(run("EDIT 15"), Rows{"LINE NOT FOUND"});
    EXPECT_EQ(run("EDIT"), Rows{"SYNTAX ERROR"});
}

TEST_F(Edit, ALongLineIsEditedAcrossRows) {
    // A line of three rows: a word goes in near its start, and the rows
    // below are drawn again, moved along by it.
    std::string text = "10 REM ";
    for (int i = 0; i < 10; ++i)
        text += "ABCDEFGHI" + std::to_string(i);
    enterProgram({text});
    run("EDIT 10");
    typeKeys(std::string(4, Right) + "NEW ");
    std::string edited = "10 REM NEW " + text.substr(7);
    Rows rows = screenRows();
    size_t prompt = rows.size();
    while (prompt > 0 && (rows[prompt - 1].empty() || rows[prompt - 1][0] != '>'))
        --prompt;
    ASSERT_GT(prompt, 0u);
    std::string shown;
    for (size_t r = prompt - 1; r < prompt + 2; ++r)
        shown += (rows[r] + std::string(40, ' ')).substr(0, 40);
    EXPECT_EQ(shown.substr(0, 1 + edited.size()), ">" + edited);
    typeKeys("\r");
    EXPECT_EQ(run("LIST"),
              (Rows{(">" + edited).substr(1, 40), edited.substr(40, 40), edited.substr(80, 40)}));
}

TEST_F(Edit, ALineThatGrowsAtTheBottomOfTheScreenScrollsItUp) {
    // The prompt on the last row; the line takes three rows, so the screen
    // scrolls as it is drawn and again as it grows into a fourth.
    std::string text = "10 REM " + std::string(110, 'Q');
    enterProgram({text});
    run("FOR I=1 TO 30:PRINT I:NEXT");
    run("EDIT 10");
    typeKeys(std::string(1, CtrlA) + "1" + std::string(7, Right) + std::string(15, 'W'));
    const std::string edited = "110 REM " + std::string(15, 'W') + std::string(110, 'Q');
    Rows rows = screenRows();
    std::string shown;
    for (size_t r = 20; r < 24; ++r)
        shown += (rows[r] + std::string(40, ' ')).substr(0, 40);
    EXPECT_EQ(shown.substr(0, 1 + edited.size()), ">" + edited);
    EXPECT_EQ(rows[19], ">EDIT 10");
    EXPECT_EQ(rows[18], " 30");
    typeKeys("\r");
    EXPECT_EQ(run("LIST 110"), (Rows{edited.substr(0, 40), edited.substr(40, 40),
                                     edited.substr(80, 40), edited.substr(120)}));
    EXPECT_EQ(run("LIST 10"), (Rows{text.substr(0, 40), text.substr(40, 40), text.substr(80)}));
}

TEST_F(Edit, TheEditingKeysWorkInEveryTypedLine) {
    // INPUT's answer: back one place, a letter in between.
    enterProgram({"10 LINE INPUT A$:INPUT B:PRINT A$;B"});
    typeAndRun("RUN\r", 50);
    typeKeys(std::string("HELO") + CtrlB + "L\r");
    typeKeys(std::string("12") + CtrlA + "3\r");
    EXPECT_EQ(lastRow(), ">");
    Rows rows = screenRows();
    EXPECT_NE(std::find(rows.begin(), rows.end(), "HELLO 312"), rows.end());
}

} // namespace
