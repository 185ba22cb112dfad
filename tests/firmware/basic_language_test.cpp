// The BASIC dialect as a user sees it: commands typed at the prompt and
// programs run, checked on the screen.
#include "basic_session.h"

#include "machine/keyboard.h"
#include "machine/memory.h"

#include <algorithm>

#include <gtest/gtest.h>

using namespace basic_test;
using Rows = std::vector<std::string>;

namespace {

class BasicLanguage : public ::testing::Test {
  protected:
    void SetUp() override { bootMachine(); }

    Rows run(const std::string& command) {
        typeAndRun(command + "\r");
        return outputOfLastCommand(command.size());
    }

    Rows runProgram(const std::vector<std::string>& lines) {
        enterProgram(lines);
        return run("RUN");
    }
};

TEST_F(BasicLanguage, BootsToBannerAndPromptWithinOneSecond) {
    Rows rows = screenRows();
    EXPECT_EQ(rows[0], "ORVANE BASIC 1.0");
    EXPECT_NE(rows[1].find("BYTES FREE"), std::string::npos);
    EXPECT_EQ(rows[2], ">");
}

TEST_F(BasicLanguage, PrintsTheSumOfAStoredLine) {
    enterProgram({"10 PRINT 2+3"});
    EXPECT_EQ(run("RUN"), Rows{"5"});
}

TEST_F(BasicLanguage, ArithmeticFollowsPrecedenceAndRoundsTowardZero) {
    EXPECT_EQ(run("PRINT 2+3*4;\",\";(2+3)*4;\",\";20-6/2-1;\",\";2*-3"), Rows{"14,20,16,-6"});
    EXPECT_EQ(run("PRINT 7/2;\" \";-7/2;\" \";7 MOD 3;\" \";-7 MOD 3;\" \";100/10/5"),
              Rows{"3 -3 1 -1 2"});
    EXPECT_EQ(run("PRINT 32767;\" \";-32768;\" \";ABS(-9);\" \";-(3-5)"), Rows{"32767 -32768 9 2"});
    EXPECT_EQ(run("PRINT -8*4096;\" \";181*181;\" \";-7*-7;\" \";0*5;\" \";1000*32"),
              Rows{"-32768 32761 49 0 32000"});
}

TEST_F(BasicLanguage, ComparisonsAndLogicGiveMinusOneOrZero) {
    EXPECT_EQ(run("PRINT 3<4;3>4;3=3;3<>3;4<=4;5>=6;-1<1"), Rows{"-10-10-10-1"});
    EXPECT_EQ(run("PRINT 6 AND 3;\" \";6 OR 1;\" \";NOT 0;\" \";1<2 AND 2<3;\" \";1+1=2"),
              Rows{"2 7 -1 -1 -1"});
}

TEST_F(BasicLanguage, PrintSeparatorsAndFunctions) {
    EXPECT_EQ(run("PRINT 1,2,\"AB\";CHR$(67);TAB(25);\"X\""), Rows{"1         2         ABC  X"});
    EXPECT_EQ(run("PRINT \"A\";:PRINT \"B\""), Rows{"AB"});
    EXPECT_EQ(run("POKE 30000,77:PRINT PEEK(30000)"), Rows{"77"});
}

TEST_F(BasicLanguage, VariablesForLoopsAndNesting) {
    Rows out = runProgram({
        "10 S=0",
        "20 FOR I=1 TO 10:S=S+I:NEXT I",
        "30 PRINT S",
        "40 FOR I=10 TO 1 STEP -3:PRINT I;\" \";:NEXT:PRINT",
        "50 FOR A=1 TO 3:FOR B=A TO 3:PRINT A*10+B;\" \";:NEXT B:NEXT A:PRINT",
        "60 FOR I=5 TO 1:PRINT \"ONCE\":NEXT",
        "70 FOR I=32760 TO 32767 STEP 5:PRINT I;\" \";:NEXT:PRINT I",
    });
    EXPECT_EQ(out, (Rows{"55", "10 7 4 1", "11 12 13 22 23 33", "ONCE", "32760 32765 32765"}));
}

TEST_F(BasicLanguage, GosubReturnsToTheStatementAfterIt) {
    Rows out = runProgram({
        "10 GOSUB 100:PRINT \"B\";:GOSUB 200:PRINT \"D\"",
        "20 END",
        "100 PRINT \"A\";:RETURN",
        "200 GOSUB 300:PRINT \"C\";:RETURN",
        "300 RETURN",
    });
    EXPECT_EQ(out, Rows{"ABCD"});
}

TEST_F(BasicLanguage, IfThenTakesAStatementOrALineNumber) {
    Rows out = runProgram({
        "10 A=5",
        "20 IF A>3 THEN PRINT \"BIG\":PRINT \"ALSO\"",
        "30 IF A<3 THEN PRINT \"SMALL\":PRINT \"NOT SHOWN\"",
        "40 IF A=5 THEN 60",
        "50 PRINT \"SKIPPED\"",
        "60 GOTO 80",
        "70 PRINT \"SKIPPED TOO\"",
        "80 PRINT \"END\"",
    });
    EXPECT_EQ(out, (Rows{"BIG", "ALSO", "END"}));
}

TEST_F(BasicLanguage, InputReadsNumbersAndAsksAgainForBadOnes) {
    enterProgram({"10 INPUT \"A,B\";A,B", "20 INPUT C", "30 PRINT A+B+C"});
    typeAndRun("RUN\r1,x\r-4, 30\r100\r");
    Rows rows = screenRows();
    auto at = std::find(rows.begin(), rows.end(), ">RUN");
    ASSERT_NE(at, rows.end());
    EXPECT_EQ(*(at + 1), "A,B? 1,x");
    EXPECT_EQ(*(at + 2), "NOT A NUMBER, TYPE AGAIN");
    EXPECT_EQ(*(at + 3), "? -4, 30");
    EXPECT_EQ(*(at + 4), "? 100");
    EXPECT_EQ(*(at + 5), "126");
}

TEST_F(BasicLanguage, InputRefusesNumbersOutsideTheRange) {
    enterProgram({"10 INPUT A", "20 PRINT A"});
    typeAndRun("RUN\r32768\r-32768\r");
    Rows rows = screenRows();
    auto at = std::find(rows.begin(), rows.end(), ">RUN");
    ASSERT_NE(at, rows.end());
    EXPECT_EQ(*(at + 1), "? 32768");
    EXPECT_EQ(*(at + 2), "NOT A NUMBER, TYPE AGAIN");
    EXPECT_EQ(*(at + 3), "? -32768");
    EXPECT_EQ(*(at + 4), "-32768");
}

TEST_F(BasicLanguage, RndStaysInItsRange) {
    Rows out = runProgram({
        "10 L=7:H=0",
        "20 FOR I=1 TO 300:R=RND(6)",
        "30 IF R<L THEN L=R",
        "40 IF R>H THEN H=R",
        "50 NEXT:PRINT L;H",
    });
    EXPECT_EQ(out, Rows{"16"});
}

TEST_F(BasicLanguage, ErrorsNameTheirLineAndGiveThePromptBack) {
    struct Case {
        std::string line;
        std::string message;
    };
    const Case cases[] = {
        {"10 PRINT 3+", "SYNTAX ERROR IN LINE 10"},
        {"10 A=32767:A=A+1", "OVERFLOW IN LINE 10"},
        {"10 A=200*200", "OVERFLOW IN LINE 10"},
        {"10 A=-32767-1:A=A/-1", "OVERFLOW IN LINE 10"},
        {"10 A=ABS(-32767-1)", "OVERFLOW IN LINE 10"},
        {"10 PRINT 5 MOD 0", "DIVISION BY ZERO IN LINE 10"},
        {"10 RETURN", "RETURN WITHOUT GOSUB IN LINE 10"},
        {"10 NEXT", "NEXT WITHOUT FOR IN LINE 10"},
        {"10 GOTO 55", "LINE NOT FOUND IN LINE 10"},
        {"10 GOSUB 10", "TOO DEEPLY NESTED IN LINE 10"},
        {"10 PRINT RND(0)", "BAD ARGUMENT IN LINE 10"},
        {"10 STOP", "STOP IN LINE 10"},
        {"10 FOR I=1 TO 2:NEXT J", "NEXT WITHOUT FOR IN LINE 10"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        typeAndRun("NEW\r" + c.line + "\r");
        EXPECT_EQ(run("RUN"), Rows{c.message});
        EXPECT_TRUE(atPrompt());
    }
    EXPECT_EQ(run("PRINT 1/0"), Rows{"DIVISION BY ZERO"});
    EXPECT_EQ(run("FOO"), Rows{"SYNTAX ERROR"});
    EXPECT_EQ(run("0 PRINT"), Rows{"BAD LINE NUMBER"});
    EXPECT_EQ(run("40000 PRINT"), Rows{"BAD LINE NUMBER"});
}

TEST_F(BasicLanguage, DeepParenthesesStopBeforeTheStackReachesTheProgram) {
    enterProgram({"10 PRINT 1"});
    EXPECT_EQ(run("PRINT " + std::string(20, '(') + "2" + std::string(20, ')') + "*3"), Rows{"6"});
    EXPECT_EQ(run("PRINT " + std::string(120, '(') + "2" + std::string(120, ')')),
              Rows{"TOO DEEPLY NESTED"});
    EXPECT_EQ(run("LIST"), Rows{"10 PRINT 1"});
}

TEST_F(BasicLanguage, ListShowsRanges) {
    enterProgram({"30 PRINT 3", "10 PRINT 1", "20 PRINT 2", "40 PRINT 4"});
    EXPECT_EQ(run("LIST"), (Rows{"10 PRINT 1", "20 PRINT 2", "30 PRINT 3", "40 PRINT 4"}));
    EXPECT_EQ(run("LIST 20"), Rows{"20 PRINT 2"});
    EXPECT_EQ(run("LIST 20-30"), (Rows{"20 PRINT 2", "30 PRINT 3"}));
    EXPECT_EQ(run("LIST 25-"), (Rows{"30 PRINT 3", "40 PRINT 4"}));
    EXPECT_EQ(run("LIST -15"), Rows{"10 PRINT 1"});
    EXPECT_EQ(run("LIST 15"), Rows{});
}

TEST_F(BasicLanguage, LinesAreReplacedDeletedAndLowerCaseIsRaised) {
    enterProgram({"10 print \"low\"", "20 PRINT 2", "10 PRINT 1", "20"});
    EXPECT_EQ(run("LIST"), Rows{"10 PRINT 1"});
    EXPECT_EQ(run("new"), Rows{});
    EXPECT_EQ(run("LIST"), Rows{});
    EXPECT_EQ(run("print \"low\""), Rows{"low"});
}

TEST_F(BasicLanguage, BreakKeyStopsARunningProgram) {
    enterProgram({"10 A=A+1", "20 GOTO 10"});
    typeText("RUN\r");
    runFrames(20);
    EXPECT_FALSE(atPrompt());
    pressBreak();
    Rows out = outputOfLastCommand();
    ASSERT_EQ(out.size(), 1u);
    EXPECT_TRUE(out[0] == "BREAK IN LINE 10" || out[0] == "BREAK IN LINE 20") << out[0];
    EXPECT_EQ(run("PRINT A>100"), Rows{"-1"});
}

TEST_F(BasicLanguage, AnOverlongLineIsRefusedWholeAndTheProgramKept) {
    enterProgram({"10 PRINT 1"});
    std::string line = "20 REM " + std::string(300, 'X');
    typeAndRun(line + "\r");
    // The echo stops at 250 characters.
    EXPECT_EQ(outputOfLastCommand(249), Rows{"LINE TOO LONG"});
    EXPECT_EQ(run("LIST"), Rows{"10 PRINT 1"});
}

TEST_F(BasicLanguage, GraphicsCodesReachTheScreenUnchanged) {
    typeAndRun("CLS:PRINT CHR$(151);CHR$(127);CHR$(35);CUR(5,10);\"Q\"\r");
    EXPECT_EQ(MainMemory[0x7C00], 0x97);
    EXPECT_EQ(MainMemory[0x7C01], 0x7F);
    EXPECT_EQ(MainMemory[0x7C02], 0x23);
    EXPECT_EQ(MainMemory[0x7C00 + 5 * 128 + 10], 'Q');
}

} // namespace
