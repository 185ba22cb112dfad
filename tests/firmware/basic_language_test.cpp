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

using BasicLanguage = BasicTest;

TEST_F(BasicLanguage, BootsToBannerAndPromptWithinOneSecond) {
    Rows rows = screenRows();
    EXPECT_EQ(rows[0], "ORVANE BASIC 2.0");
    EXPECT_EQ(rows[1], "29695 BYTES FREE");
    EXPECT_EQ(rows[2], ">");
}

TEST_F(BasicLanguage, PrintsTheSumOfAStoredLine) {
    enterProgram({"10 PRINT 2+3"});
    EXPECT_EQ(run("RUN"), Rows{" 5"});
}

TEST_F(BasicLanguage, NumbersPrintWithASignPlaceAndABlankAfter) {
    EXPECT_EQ(run("PRINT 1;2;-3"), Rows{" 1  2 -3"});
    EXPECT_EQ(run("PRINT 1/3;7/2;-0.25"), Rows{" 0.333333333  3.5 -0.25"});
    EXPECT_EQ(run("PRINT 1E10;1.5E-5;123456789;0.01"), Rows{" 1E+10  1.5E-05  123456789  0.01"});
}

TEST_F(BasicLanguage, ArithmeticFollowsPrecedence) {
    EXPECT_EQ(run("PRINT 2+3*4;(2+3)*4;20-6/2-1;2*-3"), Rows{" 14  20  16 -6"});
    EXPECT_EQ(run("PRINT 7 MOD 3;-7 MOD 3;100/10/5"), Rows{" 1 -1  2"});
    EXPECT_EQ(run("PRINT 32767;-32768;ABS(-9);-(3-5)"), Rows{" 32767 -32768  9  2"});
}

TEST_F(BasicLanguage, WholeNumbersThatLeaveSixteenBitsCarryOnAsFloats) {
    // The audit: -32769 and -40000 wrapped, and -32768 MOD -1 overflowed.
    EXPECT_EQ(run("PRINT -32769;-40000;32767+1;200*200"), Rows{"-32769 -40000  32768  40000"});
    EXPECT_EQ(run("PRINT -32768 MOD -1;-32767-1;ABS(-32767-1)"), Rows{" 0 -32768  32768"});
    EXPECT_EQ(run("A%=32767:A%=A%+1"), Rows{"OVERFLOW"});
    EXPECT_EQ(run("PRINT 999999998+1;999999999*10"), Rows{" 999999999  9.99999999E+09"});
}

// Float operands met as variables and numbers of the program take a short
// way; precedence and types must come out the same as the long one.
TEST_F(BasicLanguage, PrecedenceHoldsWhateverTheOperands) {
    Rows out = runProgram({
        "10 A=2:B=3:C%=4:D$=\"X\"",
        "20 PRINT A+3*2;A-1^2;A*B^2;A/4*2;A+B;A-B-1;A+C%;A*0.5+1",
        "30 PRINT A<B+1;A=2;A>1.5;A<B*0;A+1<B;A/2<>1;A-2",
        "40 PRINT A+Z;A*(B+1);A-B*2;A-B MOD 2",
        "50 PRINT A+D$",
    });
    EXPECT_EQ(out, (Rows{" 8  1  18  1  5 -2  6  2", "-1 -1 -1  0  0  0  0", " 2  8 -4  1",
                         "TYPE MISMATCH IN LINE 50"}));
}

TEST_F(BasicLanguage, ComparisonsAndLogicGiveMinusOneOrZero) {
    EXPECT_EQ(run("PRINT 3<4;3>4;3=3;3<>3;4<=4;5>=6;-1<1"), Rows{"-1  0 -1  0 -1  0 -1"});
    EXPECT_EQ(run("PRINT 6 AND 3;6 OR 1;NOT 0;1<2 AND 2<3;1+1=2"), Rows{" 2  7 -1 -1 -1"});
    EXPECT_EQ(run("PRINT 0.1+0.2=0.3;2.5>2;-1.5<-1"), Rows{"-1 -1 -1"});
}

TEST_F(BasicLanguage, NamesAreALetterAndALetterOrDigitWithTheirType) {
    EXPECT_EQ(run("A=1:B=2:AB=3:A1=4:A%=5:A$=\"S\":PRINT A;B;AB;A1;A%;A$"),
              Rows{" 1  2  3  4  5 S"});
    // Items side by side and keywords run into names are refused.
    EXPECT_EQ(run("PRINT AB C"), Rows{"SYNTAX ERROR"});
    EXPECT_EQ(run("PRINT TOTAL"), Rows{"SYNTAX ERROR"});
    EXPECT_EQ(run("PRINT 5PRINT 6"), Rows{"SYNTAX ERROR"});
    EXPECT_EQ(run("A$=5"), Rows{"TYPE MISMATCH"});
    EXPECT_EQ(run("PRINT \"A\"+1"), Rows{"TYPE MISMATCH"});
}

TEST_F(BasicLanguage, PrintSeparatorsAndFunctions) {
    EXPECT_EQ(run("PRINT 1,2,\"AB\";CHR$(67);TAB(25);\"X\""), Rows{" 1         2        ABC  X"});
    EXPECT_EQ(run("PRINT ,\"E\""), Rows{"          E"});
    EXPECT_EQ(run("PRINT;\"A\";:PRINT \"B\""), Rows{"AB"});
    EXPECT_EQ(run("POKE 30000,77:PRINT PEEK(30000);PEEK(65054)>0"), Rows{" 77 -1"});
}

TEST_F(BasicLanguage, ArgumentsOutOfRangeAreRefused) {
    for (const char* command :
         {"POKE 40000,300", "PRINT CHR$(256)", "OUT 256,1", "SOUND 257", "PRINT INP(312)",
          "PRINT TAB(-1)", "PRINT MID$(\"A\",0)", "PRINT ASC(\"\")", "POKE 70000,1"}) {
        SCOPED_TRACE(command);
        EXPECT_EQ(run(command), Rows{"BAD ARGUMENT"});
    }
}

TEST_F(BasicLanguage, VariablesForLoopsAndNesting) {
    Rows out = runProgram({
        "10 S=0",
        "20 FOR I=1 TO 10:S=S+I:NEXT I",
        "30 PRINT S",
        "40 FOR I=10 TO 1 STEP -3:PRINT I;:NEXT:PRINT",
        "50 FOR A=1 TO 3:FOR B=A TO 3:PRINT A*10+B;:NEXT B,A:PRINT",
        "60 FOR I=5 TO 1:PRINT \"ONCE\":NEXT",
        "70 FOR I%=32760 TO 32767 STEP 5:PRINT I%;:NEXT:PRINT I%",
        "80 FOR X=0 TO 1 STEP 0.25:PRINT X;:NEXT:PRINT X",
    });
    EXPECT_EQ(out, (Rows{" 55", " 10  7  4  1", " 11  12  13  22  23  33", "ONCE",
                         " 32760  32765  32765", " 0  0.25  0.5  0.75  1  1.25"}));
}

TEST_F(BasicLanguage, LoopsRestartNestAndRunThroughSubroutines) {
    Rows out = runProgram({
        "10 FOR I=1 TO 2:FOR I=5 TO 6:PRINT I;:NEXT I:PRINT",
        "20 FOR K%=10 TO 1 STEP -4:PRINT K%;:NEXT:PRINT",
        "30 FOR X=1 TO 0 STEP -0.5:PRINT X;:NEXT:PRINT",
        "40 FOR Y=1 TO 3:GOSUB 100:NEXT:PRINT",
        "50 END",
        "100 FOR Z=1 TO 2:PRINT Y*Z;:NEXT:RETURN",
    });
    EXPECT_EQ(out, (Rows{" 5  6", " 10  6  2", " 1  0.5  0", " 1  2  2  4  3  6"}));
}

// Loops counting in whole steps of 1 take a shorter way through NEXT; what
// they count, where they stop and what the variable holds afterwards must
// not differ from any other loop's.
TEST_F(BasicLanguage, CountingLoopsStayExactAcrossEveryBoundary) {
    Rows out = runProgram({
        "10 FOR I=32766 TO 32769:PRINT I;:NEXT:PRINT I",
        "20 FOR I=65534 TO 65537:PRINT I-65530;:NEXT I:PRINT I-65530",
        "30 B=65536*32768:FOR I=B-2 TO B+1:PRINT I-B;:NEXT:PRINT I-B",
        "40 B=65536*65536:FOR I=B-3 TO B:PRINT I-B;:NEXT:PRINT I-B", // 2^32+1 rounds
        "50 FOR I=-2 TO 2:PRINT I;:NEXT:PRINT I",
        "60 FOR I=3 TO 1 STEP -1:PRINT I;:NEXT:PRINT I",
        "70 FOR X=0.5 TO 4:PRINT X;:NEXT:PRINT X",
        "80 FOR I=1 TO 2.5:PRINT I;:NEXT:PRINT I",
        "90 FOR I=1 TO -2:PRINT I;:NEXT:PRINT I;:FOR I=1 TO 0:NEXT:PRINT I",
        "100 N=0:FOR X=0 TO 1 STEP 0.1:N=N+1:NEXT:PRINT N;X;X=1.1",
        "110 A=1+1/2147483648:FOR X=A TO 3:PRINT (X-INT(X))*2147483648;:NEXT:PRINT",
        "120 N=0:FOR I=1 TO 3:FOR J=1 TO 4:N=N+1:NEXT:NEXT:PRINT N;I;J",
        "130 FOR I=1 TO 2:FOR J=7 TO 8:PRINT I*10+J;:NEXT J,I:PRINT",
    });
    EXPECT_EQ(
        out, (Rows{" 32766  32767  32768  32769  32770", " 4  5  6  7  8", "-2 -1  0  1  2",
                   "-3 -2 -1  0  2", "-2 -1  0  1  2  3", " 3  2  1  0", " 0.5  1.5  2.5  3.5  4.5",
                   " 1  2  3", " 1  2  2", " 10  1  0", " 1  2", " 12  4  5", " 17  18  27  28"}));
}

// M(L)=A and X=A alone take a shorter way too: the same values, the same
// errors.
TEST_F(BasicLanguage, LoneVariablesIndexAndAssignAsAnyExpression) {
    Rows out = runProgram({
        "10 DIM M(5):A=-2.5:L=2:M(L)=A:PRINT M(2);M(L)",
        "20 L=3.6:M(L)=7:PRINT M(4);M(L)",
        "30 C=A:D=Q:E=0:F=E:PRINT C;D;F;Q:C%=A:PRINT C%",
        "40 G=1E30:H=G:PRINT H=G;H",
        "50 L=-1:M(L)=1",
    });
    EXPECT_EQ(out, (Rows{"-2.5 -2.5", " 0  7", "-2.5  0  0  0", "-2", "-1  1E+30",
                         "BAD SUBSCRIPT IN LINE 50"}));
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
    typeAndRun("RUN\r1,x\r-4, 30\r+100\r");
    Rows rows = screenRows();
    auto at = std::find(rows.begin(), rows.end(), ">RUN");
    ASSERT_NE(at, rows.end());
    EXPECT_EQ(*(at + 1), "A,B? 1,x");
    EXPECT_EQ(*(at + 2), "NOT A NUMBER, TYPE AGAIN");
    EXPECT_EQ(*(at + 3), "A,B? -4, 30");
    EXPECT_EQ(*(at + 4), "? +100");
    EXPECT_EQ(*(at + 5), " 126");
}

TEST_F(BasicLanguage, InputTakesStringsAsksForMoreAndSaysWhatItIgnored) {
    enterProgram(
        {"10 INPUT N$,A,B$", "20 PRINT N$;\"/\";A;\"/\";B$;\"/\"", "30 INPUT X", "40 PRINT X"});
    typeAndRun("RUN\r  HELLO WORLD , 2.5\r\"A, B\"\r7,8,9\r");
    Rows rows = screenRows();
    auto at = std::find(rows.begin(), rows.end(), ">RUN");
    ASSERT_NE(at, rows.end());
    EXPECT_EQ(*(at + 1), "?   HELLO WORLD , 2.5");
    EXPECT_EQ(*(at + 2), "?? \"A, B\"");
    EXPECT_EQ(*(at + 3), "  HELLO WORLD/ 2.5 /A, B/"); // the blanks typed first are kept
    EXPECT_EQ(*(at + 4), "? 7,8,9");
    EXPECT_EQ(*(at + 5), "EXTRA IGNORED");
    EXPECT_EQ(*(at + 6), " 7");
}

TEST_F(BasicLanguage, InputOfAWholeNumberVariableOutsideItsRangeOverflows) {
    enterProgram({"10 INPUT A%", "20 PRINT A%"});
    typeAndRun("RUN\r32768\r");
    EXPECT_EQ(outputOfLastCommand(), (Rows{"? 32768", "OVERFLOW IN LINE 10"}));
}

TEST_F(BasicLanguage, RndGivesFractionsAndWholeNumbersInTheirRanges) {
    Rows out = runProgram({
        "10 L=7:H=0:F=0:G=1",
        "20 FOR I=1 TO 300:R=RND(6):Q=RND",
        "30 IF R<L THEN L=R",
        "40 IF R>H THEN H=R",
        "45 IF R<>INT(R) THEN PRINT \"NOT WHOLE\"",
        "50 IF Q>F THEN F=Q",
        "55 IF Q<G THEN G=Q",
        "60 NEXT:PRINT L;H;F<1;G>=0;F>0.9;G<0.1",
    });
    EXPECT_EQ(out, Rows{" 1  6 -1 -1 -1 -1"});
}

TEST_F(BasicLanguage, NumberFunctions) {
    EXPECT_EQ(run("PRINT SQR(16);2^10;PI;INT(-2.5);INT(2.5);ABS(-3.25);SGN(-2);SGN(0)"),
              Rows{" 4  1024  3.14159265 -3  2  3.25 -1  0"});
    EXPECT_EQ(run("PRINT SIN(0);COS(0);ATN(1)*4;EXP(0);LOG(EXP(2));TAN(0)"),
              Rows{" 0  1  3.14159265  1  2  0"});
    EXPECT_EQ(run("PRINT SQR(-1)"), Rows{"BAD ARGUMENT"});
    EXPECT_EQ(run("PRINT LOG(0)"), Rows{"BAD ARGUMENT"});
}

TEST_F(BasicLanguage, RandomizeRepeatsASequence) {
    EXPECT_EQ(run("RANDOMIZE 5:A=RND:B=RND(100):RANDOMIZE 5:PRINT A=RND;B=RND(100)"),
              Rows{"-1 -1"});
}

TEST_F(BasicLanguage, ErrorsNameTheirLineAndGiveThePromptBack) {
    struct Case {
        std::string line;
        std::string message;
    };
    const Case cases[] = {
        {"10 PRINT 3+", "SYNTAX ERROR IN LINE 10"},
        {"10 A%=32767:A%=A%+1", "OVERFLOW IN LINE 10"},
        {"10 A=1E30*1E30", "OVERFLOW IN LINE 10"},
        {"10 PRINT 5 MOD 0", "DIVISION BY ZERO IN LINE 10"},
        {"10 PRINT 1/0", "DIVISION BY ZERO IN LINE 10"},
        {"10 RETURN", "RETURN WITHOUT GOSUB IN LINE 10"},
        {"10 NEXT", "NEXT WITHOUT FOR IN LINE 10"},
        {"10 GOTO 55", "LINE NOT FOUND IN LINE 10"},
        {"10 GOSUB 10", "TOO DEEPLY NESTED IN LINE 10"},
        {"10 PRINT CUR(24,0)", "BAD ARGUMENT IN LINE 10"},
        {"10 STOP", "STOP IN LINE 10"},
        {"10 FOR I=1 TO 2:NEXT J", "NEXT WITHOUT FOR IN LINE 10"},
        {"10 DIM A(3):PRINT A(4)", "BAD SUBSCRIPT IN LINE 10"},
        {"10 PRINT B(11)", "BAD SUBSCRIPT IN LINE 10"},
        {"10 DIM A(3):DIM A(4)", "ARRAY ALREADY DIMENSIONED IN LINE 10"},
        {"10 READ A", "OUT OF DATA IN LINE 10"},
        {"10 PRINT FN Q(1)", "UNDEFINED FUNCTION IN LINE 10"},
        {"10 A$=\"X\":A=A$", "TYPE MISMATCH IN LINE 10"},
        {"10 A$=SPACE$(200):A$=A$+A$", "STRING TOO LONG IN LINE 10"},
        {"10 DATA X:READ A", "SYNTAX ERROR IN LINE 10"},
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
    EXPECT_EQ(run("CONT"), Rows{"CAN'T CONTINUE"});
    EXPECT_EQ(run("DEF FN A(X)=X"), Rows{"NOT IN DIRECT MODE"});
}

TEST_F(BasicLanguage, DeepParenthesesStopBeforeTheStackReachesTheProgram) {
    enterProgram({"10 PRINT 1"});
    EXPECT_EQ(run("PRINT " + std::string(20, '(') + "2" + std::string(20, ')') + "*3"), Rows{" 6"});
    Rows deep = run("PRINT " + std::string(120, '(') + "2" + std::string(120, ')'));
    ASSERT_EQ(deep.size(), 1u);
    EXPECT_TRUE(deep[0] == "TOO DEEPLY NESTED") << deep[0];
    EXPECT_EQ(run("LIST"), Rows{"10 PRINT 1"});
}

TEST_F(BasicLanguage, RenumRenumbersTheLinesAndTheirTargets) {
    enterProgram({"5 REM GOTO 7", "7 PRINT \"A\";:GOSUB 1000:READ Q:PRINT Q;",
                  "9 IF X=1 THEN 5 ELSE 12", "12 ON 2 GOTO 5,30000,1000:RESTORE 7", "30000 END",
                  "1000 X=X+1:RETURN", "1001 DATA 4"});
    EXPECT_EQ(run("RUN"), (Rows{"A 4 A", "OUT OF DATA IN LINE 7"}));
    EXPECT_EQ(run("RENUM"), Rows{});
    EXPECT_EQ(run("LIST"), (Rows{"10 REM GOTO 7", "20 PRINT \"A\";:GOSUB 50:READ Q:PRINT Q;",
                                 "30 IF X=1 THEN 10 ELSE 40", "40 ON 2 GOTO 10,70,50:RESTORE 20",
                                 "50 X=X+1:RETURN", "60 DATA 4", "70 END"}));
    EXPECT_EQ(run("RUN"), (Rows{"A 4 A", "OUT OF DATA IN LINE 20"}));
    // Numbers that grow move the rest of the program; a target that names
    // no line stays as it is.
    run("35 GOTO 9999");
    EXPECT_EQ(run("RENUM 10000,1000"), Rows{});
    EXPECT_EQ(run("LIST 12000-13000"),
              (Rows{"12000 IF X=1 THEN 10000 ELSE 14000", "13000 GOTO 9999"}));
    EXPECT_EQ(run("RENUM 30000,1000"), Rows{"BAD LINE NUMBER"});
    EXPECT_EQ(run("LIST 10000"), Rows{"10000 REM GOTO 7"});
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
    // CONT goes on where BREAK stopped it.
    run("B=A");
    typeText("CONT\r");
    runFrames(20);
    EXPECT_FALSE(atPrompt());
    pressBreak();
    EXPECT_EQ(run("PRINT A>B"), Rows{"-1"});
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
