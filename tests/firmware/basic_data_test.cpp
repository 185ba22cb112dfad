// Strings, arrays, DATA, floating-point results, the string heap under
// pressure, a full memory and the warm start: programs of our own, run as
// a user runs them, with their output checked on the screen.
#include "basic_session.h"

#include "abc80/abc80.h"
#include "machine/memory.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

using namespace basic_test;
using Rows = std::vector<std::string>;

namespace {

class BasicData : public BasicTest {
  protected:
    BasicData() { programFrames = 3000; }
    Rows listing() { return run("LIST", 2000); }
};

TEST_F(BasicData, StringFunctionsAndComparisons) {
    Rows out = runProgram({
        "10 A$=\"HELLO\":B$=\"WORLD\":C$=A$+\", \"+B$",
        "20 PRINT C$;LEN(C$)",
        "30 PRINT LEFT$(C$,4);\"/\";RIGHT$(C$,3);\"/\";MID$(C$,8,3);\"/\";MID$(C$,8)",
        "40 PRINT ASC(\"A\");CHR$(66);STR$(-12.5);\"/\";STR$(7);VAL(\" -3.25E2X\");VAL(\"Q\")",
        "50 PRINT INSTR(C$,\"O\");INSTR(6,C$,\"O\");INSTR(C$,\"Z\");\"<\";SPACE$(3);\">\"",
        "60 PRINT \"ABC\"<\"ABD\";\"B\">\"AB\";\"A\"=\"A\";\"\"<\"A\";A$<>B$",
        "70 PRINT LEFT$(A$,0);\"/\";MID$(A$,9);\"/\";RIGHT$(A$,99);\"/\";LEN(\"\")",
    });
    EXPECT_EQ(out, (Rows{"HELLO, WORLD 12", "HELL/RLD/WOR/WORLD", " 65 B-12.5/ 7-325  0",
                         " 5  9  0 <   >", "-1 -1 -1 -1 -1", "//HELLO/ 0"}));
}

TEST_F(BasicData, StringsOfTwoHundredAndFiftyFiveCharacters) {
    Rows out = runProgram({
        "10 A$=\"\":FOR I=1 TO 255:A$=A$+CHR$(48+I MOD 10):NEXT",
        "20 PRINT LEN(A$);MID$(A$,250,6)",
        "30 A$=A$+\"X\"",
    });
    EXPECT_EQ(out, (Rows{" 255 012345", "STRING TOO LONG IN LINE 30"}));
}

TEST_F(BasicData, StringOfRepeatsACodeOrTheFirstCharacterOfAString) {
    // The 255 copies are checked against a string built one character at a
    // time, so a fill one short or one long shows.
    Rows out = runProgram({
        "10 B$=\"\":FOR I=1 TO 255:B$=B$+\"Z\":NEXT",
        "20 A$=STRING$(255,90):PRINT LEN(A$);A$=B$;STRING$(255,\"ZQ\")=B$",
        "30 PRINT \"<\";STRING$(0,65);STRING$(0,\"Q\");\">\";LEN(STRING$(0,65))",
        "40 PRINT STRING$(3,\"XYZ\");STRING$(2,48.9);ASC(STRING$(2,0));ASC(STRING$(1,255))",
        "50 PRINT LEN(STRING$(100,\"A\")+STRING$(155,66));STRING$(2,\"A\")+\"B\"+STRING$(2,67)",
        "60 N=4:C$=\"-\":PRINT STRING$(N*2-1,C$+\"+\");LEN(STRING$(N,C$));STRING$(1,CHR$(34))",
    });
    EXPECT_EQ(out, (Rows{" 255 -1 -1", "<> 0", "XXX00 0  255", " 255 AABCC", "------- 4 \""}));
}

TEST_F(BasicData, StringOfRefusesWhatItCannotMake) {
    for (const char* command :
         {"PRINT STRING$(256,65)", "PRINT STRING$(-1,65)", "PRINT STRING$(3,256)",
          "PRINT STRING$(3,-1)", "PRINT STRING$(3,\"\")", "PRINT STRING$(256,\"A\")"}) {
        SCOPED_TRACE(command);
        EXPECT_EQ(run(command), Rows{"BAD ARGUMENT"});
    }
    EXPECT_EQ(run("PRINT STRING$(\"A\",3)"), Rows{"TYPE MISMATCH"});
    EXPECT_EQ(run("A=STRING$(3,65)"), Rows{"TYPE MISMATCH"});
    EXPECT_EQ(run("PRINT STRING$(3)"), Rows{"SYNTAX ERROR"});
    EXPECT_EQ(run("PRINT STRING$(3,65"), Rows{"SYNTAX ERROR"});
    EXPECT_EQ(run("PRINT STRING$(200,65)+STRING$(56,66)"), Rows{"STRING TOO LONG"});
}

TEST_F(BasicData, StringOfResultsSurviveTheCollector) {
    // About 90 KB of strings through a heap of under 30 KB: the collector
    // runs many times, also while one STRING$ is waiting to be joined to the
    // next and while STRING$ takes its character from a string just made.
    Rows out = runProgram({
        "10 DIM A$(9)",
        "20 FOR I=1 TO 400:K=I MOD 10:L=I MOD 50",
        "30 A$(K)=STRING$(200,48+K)+STRING$(L,CHR$(65+K)):NEXT",
        "40 FOR K=0 TO 9:I=390+K:IF K=0 THEN I=400",
        "50 L=I MOD 50:E$=\"\":FOR J=1 TO 200:E$=E$+CHR$(48+K):NEXT",
        "60 FOR J=0 TO L:IF J THEN E$=E$+CHR$(65+K)",
        "65 NEXT",
        "70 IF A$(K)<>E$ THEN PRINT \"BAD\";K",
        "80 NEXT:PRINT LEN(A$(3));LEN(A$(0));FRE(0)>26000",
    });
    EXPECT_EQ(out, (Rows{" 243  200 -1"}));
}

TEST_F(BasicData, ArraysOfEveryKindWithAndWithoutDim) {
    Rows out = runProgram({
        "10 DIM A(20),N%(3,4),S$(5)",
        "20 FOR I=0 TO 20:A(I)=I/2:NEXT",
        "30 FOR I=0 TO 3:FOR J=0 TO 4:N%(I,J)=I*10+J:NEXT J,I",
        "40 FOR I=0 TO 5:S$(I)=CHR$(65+I)+STR$(I):NEXT",
        "50 PRINT A(0);A(7);A(20);N%(2,3);N%(3,4);S$(0);S$(5)",
        "60 B(10)=5:C$(10)=\"TEN\":D%(2,10)=-7",
        "70 PRINT B(10);B(0);C$(10);D%(2,10);D%(10,10)",
        "80 Z=5:Y=6:PRINT A(7);N%(1,1);S$(3)",
        "90 PRINT B(11)",
    });
    EXPECT_EQ(out, (Rows{" 0  3.5  10  23  34 A 0F 5", " 5  0 TEN-7  0", " 3.5  11 D 3",
                         "BAD SUBSCRIPT IN LINE 90"}));
}

TEST_F(BasicData, DataReadRestoreAndOn) {
    Rows out = runProgram({
        "10 READ A,B$,C",
        "20 PRINT A;B$;C",
        "30 READ D$,E:PRINT D$;\"/\";E",
        "40 RESTORE 110:READ F$:PRINT F$",
        "50 RESTORE:READ G:PRINT G",
        "60 FOR I=1 TO 4:ON I GOSUB 200,210,220:NEXT:PRINT",
        "70 ON 2 GOTO 80,90",
        "80 PRINT \"WRONG\"",
        "90 PRINT \"RIGHT\":END",
        "100 DATA 1.5,\"A, B\",-3",
        "110 DATA   BARE TEXT  , +7",
        "200 PRINT \"ONE\";:RETURN",
        "210 PRINT \"TWO\";:RETURN",
        "220 PRINT \"THREE\";:RETURN",
    });
    EXPECT_EQ(out,
              (Rows{" 1.5 A, B-3", "BARE TEXT/ 7", "BARE TEXT", " 1.5", "ONETWOTHREE", "RIGHT"}));
}

TEST_F(BasicData, IfThenElseAndFunctions) {
    Rows out = runProgram({
        "10 DEF FN S(X)=X*X+1",
        "20 DEF FN H(X)=X/2+Y",
        "30 Y=10:X=99",
        "40 PRINT FN S(3);FN H(4);FN S(FN S(1));X",
        "50 FOR I=1 TO 3:IF I=2 THEN PRINT \"TWO\"; ELSE PRINT I;",
        "60 NEXT:PRINT",
        "70 IF 0 THEN 100 ELSE 90",
        "80 PRINT \"NOT HERE\"",
        "90 IF 1 THEN IF 0 THEN PRINT \"A\" ELSE PRINT \"B\"",
        "100 END",
    });
    EXPECT_EQ(out, (Rows{" 10  12  5  99", " 1 TWO 3", "B"}));
}

// Floating-point results against the same sums done on the host: nine
// significant digits, the last one may differ by rounding.
TEST_F(BasicData, FloatingPointResultsMatchTheHost) {
    Rows out = runProgram(
        {
            "10 S=0:FOR I=1 TO 1000:S=S+1/I:NEXT:PRINT S",
            "20 X=1:FOR I=1 TO 20:X=X*1.5:NEXT:PRINT X",
            "30 P=1:FOR I=1 TO 10:P=P*(1+1/I):NEXT:PRINT P",
            "40 Q=0:FOR I=1 TO 100:Q=Q+0.01:NEXT:PRINT Q",
            "50 PRINT 1E30*1E8;1/3*3;-7/8;123456.789+0.001",
        },
        6000);
    ASSERT_EQ(out.size(), 5u);
    double h = 0;
    for (int i = 1; i <= 1000; ++i)
        h += 1.0 / i;
    const double expected[] = {h, std::pow(1.5, 20), 11.0, 1.0};
    for (int i = 0; i < 4; ++i) {
        double got = std::strtod(out[i].c_str(), nullptr);
        EXPECT_NEAR(got, expected[i], std::fabs(expected[i]) * 2e-8) << out[i];
    }
    EXPECT_EQ(out[4], " 1E+38  1 -0.875  123456.79");
}

// Thousands of string assignments: the heap is collected again and again,
// every string stays right, the free memory comes back to the same figure
// and the program is untouched.
TEST_F(BasicData, TheStringHeapSurvivesThousandsOfAssignments) {
    enterProgram({
        "10 DIM A$(40),Q(5400)",
        "20 E=0:G=0:F=FRE(0)",
        "30 FOR I=1 TO 4000",
        "40 K=I MOD 41:A$(K)=RIGHT$(\"0000\"+STR$(I),5)+SPACE$(K)",
        "50 IF I=41 THEN F=FRE(0)",
        "60 NEXT",
        "70 E=0:FOR K=0 TO 40:I=4000-(40-K)+(K>40-(4000 MOD 41))*41",
        "80 IF LEN(A$(K))<>5+K THEN E=E+1",
        "90 NEXT",
        "100 G=FRE(0):PRINT E;F=G;G>200",
    });
    Rows before = listing();
    EXPECT_EQ(run("RUN", 30000), Rows{" 0 -1 -1"});
    EXPECT_EQ(listing(), before);
    // Each string holds the number it was last given.
    EXPECT_EQ(run("PRINT A$(0);\"/\";A$(1);\"/\";LEN(A$(40))"), Rows{" 3977/ 3978 / 45"});
}

// A new simple variable moves the arrays up; the strings of a string
// array must still be found by the collector afterwards.
TEST_F(BasicData, StringsInArraysSurviveNewVariablesAndCollections) {
    Rows out = runProgram(
        {
            "10 DIM S$(5):FOR I=0 TO 5:S$(I)=\"STR\"+STR$(I):NEXT",
            "20 T$=\"GARBAGE\":T$=\"X\":Q$(3)=\"Q3\"",
            "30 X1=1:X2=2:X3=3:X4=4:F=FRE(0)",
            "40 FOR I=0 TO 5:PRINT S$(I);:NEXT:PRINT Q$(3);T$",
            "50 A$=\"\":FOR I=1 TO 3000:A$=A$+\"B\":IF LEN(A$)>200 THEN A$=\"\":X5=I",
            "60 NEXT:PRINT LEN(A$);X5;S$(5);Q$(3)",
        },
        20000);
    EXPECT_EQ(out, (Rows{"STR 0STR 1STR 2STR 3STR 4STR 5Q3X", " 186  2814 STR 5Q3"}));
}

TEST_F(BasicData, FillingMemoryGivesOutOfMemoryAndBreaksNothing) {
    enterProgram({
        "10 DIM A(4000)",
        "20 I=0",
        "30 S$(I)=SPACE$(250):I=I+1:IF I<10 THEN 30",
        "40 DIM B(4000)",
    });
    Rows before = listing();
    EXPECT_EQ(run("RUN", 3000), Rows{"OUT OF MEMORY IN LINE 40"});
    EXPECT_EQ(listing(), before);
    EXPECT_EQ(run("PRINT LEN(S$(9));A(4000);FRE(0)<8000"), Rows{" 250  0 -1"});
    // Strings fill the rest.
    EXPECT_EQ(run("DIM U$(200):FOR I=0 TO 10:T$(I)=SPACE$(255):NEXT:FOR J=0 TO "
                  "200:U$(J)=SPACE$(200):NEXT"),
              Rows{"OUT OF MEMORY"});
    EXPECT_EQ(run("PRINT LEN(S$(3));LEN(T$(10));I"), Rows{" 250  255  11"});
    EXPECT_EQ(listing(), before);
    EXPECT_EQ(run("PRINT J>10;J<30"), Rows{"-1 -1"});
    EXPECT_EQ(run("CLEAR:PRINT FRE(0)>29500"), Rows{"-1"});
}

TEST_F(BasicData, AResetKeepsTheProgramAndAHardResetClearsIt) {
    enterProgram({"10 PRINT \"KEPT\"", "20 A=1"});
    Rows before = listing();
    machineReset();
    runFrames(50);
    Rows rows = screenRows();
    EXPECT_EQ(rows[0], "ORVANE BASIC 2.0 - PROGRAM KEPT");
    EXPECT_EQ(listing(), before);
    EXPECT_EQ(run("RUN"), Rows{"KEPT"});

    machineHardReset();
    runFrames(50);
    EXPECT_EQ(screenRows()[0], "ORVANE BASIC 2.0");
    EXPECT_EQ(listing(), Rows{});
}

TEST_F(BasicData, AResetWithNoLinesGivesThePowerOnScreenNotProgramKept) {
    const Rows powerOn = screenRows();
    ASSERT_EQ(powerOn[0], "ORVANE BASIC 2.0");
    auto resetScreen = [] {
        machineReset();
        runFrames(50);
        return screenRows();
    };
    // Right after power-on, as the front ends do before loading a file.
    EXPECT_EQ(resetScreen(), powerOn);

    enterProgram({"10 PRINT \"KEPT\""});
    Rows rows = resetScreen();
    EXPECT_EQ(rows[0], "ORVANE BASIC 2.0 - PROGRAM KEPT");
    EXPECT_EQ(listing(), Rows{"10 PRINT \"KEPT\""});

    typeAndRun("NEW\rA=5\r");
    EXPECT_EQ(resetScreen(), powerOn);
    EXPECT_EQ(run("PRINT A"), Rows{" 0"});
    EXPECT_EQ(listing(), Rows{});

    // Deleting the last line empties the program just as NEW does.
    enterProgram({"20 END", "20"});
    EXPECT_EQ(resetScreen(), powerOn);
    EXPECT_EQ(peekWord(0xFE1E), 0x8001);
}

TEST_F(BasicData, AResetWithADamagedProgramAreaStartsClean) {
    enterProgram({"10 PRINT \"KEPT\""});
    MainMemory[0x8000] = 0xF0; // the record chain no longer ends where FE1Eh says
    machineReset();
    runFrames(50);
    EXPECT_EQ(screenRows()[0], "ORVANE BASIC 2.0");
    EXPECT_EQ(listing(), Rows{});
}

TEST_F(BasicData, GetAndInkeyReadKeysWithoutWaiting) {
    Rows out = runProgram({"10 GET A$:GET B:C$=INKEY$:PRINT \"<\";A$;\">\";B;\"<\";C$;\">\""});
    EXPECT_EQ(out, Rows{"<> 0 <>"});
    enterProgram({"10 FOR I=1 TO 200:NEXT", "20 GET A$:GET B:PRINT A$;B"});
    typeAndRun("RUN\rQR");
    EXPECT_EQ(outputOfLastCommand(), Rows{"Q 82"});
}

} // namespace
