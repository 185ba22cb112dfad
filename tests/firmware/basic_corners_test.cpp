// Corners of the dialect that users meet in their first hour: starting a
// program part way, seeding RND, the print head past the screen's width,
// long literals, and how INPUT and DATA treat what is typed.
#include "basic_session.h"

#include "machine/memory.h"

#include <algorithm>
#include <cstring>

#include <set>

#include <gtest/gtest.h>

using namespace basic_test;
using Rows = std::vector<std::string>;

namespace {

using BasicCorners = BasicTest;

TEST_F(BasicCorners, RunStartsAtTheLineGiven) {
    enterProgram({"10 PRINT \"A\"", "20 PRINT \"B\"", "30 END", "40 RUN 20"});
    EXPECT_EQ(run("RUN 20"), Rows{"B"});
    EXPECT_EQ(run("RUN 10+10"), Rows{"B"});
    EXPECT_EQ(run("RUN 40"), Rows{"B"}); // as a statement too
    EXPECT_EQ(run("RUN 25"), Rows{"LINE NOT FOUND"});
    // A start part way still clears the variables.
    enterProgram({"5 A=7", "30 PRINT A:END"});
    EXPECT_EQ(run("RUN 20"), (Rows{"B", " 0"}));
}

TEST_F(BasicCorners, EverySeedGivesItsOwnSequenceAndTheSameSeedTheSame) {
    // Seeds that differ only by a power of two, or by their sign, must
    // still start apart.
    Rows out = runProgram({
        "10 FOR S=1 TO 9:READ X:RANDOMIZE X:A=RND:B=RND",
        "20 RANDOMIZE X:IF A<>RND OR B<>RND THEN PRINT \"NOT REPEATED\";X",
        "30 Y=RND(-ABS(X)-1):C=RND:Y=RND(-ABS(X)-1):IF C<>RND THEN PRINT \"RND(-X) DIFFERS\"",
        "40 PRINT INT(A*1E6):NEXT",
        "50 DATA 1,2,4,0,65536,3,6,1.5,-1",
    });
    ASSERT_EQ(out.size(), 9u) << out[0];
    const std::set<std::string> firsts(out.begin(), out.end());
    EXPECT_EQ(firsts.size(), 9u);
}

TEST_F(BasicCorners, RemAndDataTextStaysAsTypedWhileTheRestTurnsToCapitals) {
    Rows out = runProgram(
        {"10 rem Hello World", "20 data banana,\"Kiwi\",1e3:read a$,b$,c", "30 print a$;b$;c"});
    EXPECT_EQ(out, Rows{"bananaKiwi 1000"});
    EXPECT_EQ(run("LIST 10-20"),
              (Rows{"10 REM Hello World", "20 DATA banana,\"Kiwi\",1e3:READ A$,B$,C"}));
}

// The program area's bytes hold the names as typed: a keyword inside one
// would come back from the tape as another name ("SEC?D").
TEST_F(BasicCorners, NamesAfterADeviceAreNeverTokenised) {
    enterProgram({"10 SAVE CAS:SECOND", "20 SAVE CAS:total:LOAD CAS:ABCDEFGH", "30 SAVE DR0:FORMAT",
                  "40 GOTO 100:PRINT 5", "50 DATA TOTAL:PRINT ON"});
    auto holds = [](const std::string& text) {
        const uint8_t* begin = MainMemory + 0x8000;
        const uint8_t* end = MainMemory + 0x8400;
        return std::search(begin, end, text.begin(), text.end()) != end;
    };
    EXPECT_TRUE(holds("CAS:SECOND\r"));
    EXPECT_TRUE(holds("CAS:TOTAL:"));
    EXPECT_TRUE(holds("CAS:ABCDEFGH\r"));
    EXPECT_TRUE(holds("DR0:FORMAT\r"));
    // A line number or DATA text before a colon is no device: what follows
    // is tokenised as ever.
    EXPECT_FALSE(holds(":PRINT"));
    EXPECT_EQ(run("LIST 40-50"), (Rows{"40 GOTO 100:PRINT 5", "50 DATA TOTAL:PRINT ON"}));
}

TEST_F(BasicCorners, TabPastTheLineOrBehindTheCursorGoesToTheNextLine) {
    EXPECT_EQ(run("PRINT STRING$(40,\"=\");TAB(2);\"Q\""), (Rows{std::string(40, '='), "  Q"}));
    EXPECT_EQ(run("PRINT \"ABC\";TAB(50);\"T\""), (Rows{"ABC", "          T"}));
    EXPECT_EQ(run("PRINT \"ABCDEF\";TAB(3);\"X\";TAB(39);\"Y\""),
              (Rows{"ABCDEF", "   X" + std::string(35, ' ') + "Y"}));
    EXPECT_EQ(run("PRINT 1,2,3,4,5"), (Rows{" 1         2         3         4", " 5"}));
}

TEST_F(BasicCorners, ElseBelongsToTheNearestIfWithoutOne) {
    EXPECT_EQ(run("IF 0 THEN IF 1 THEN PRINT \"A\" ELSE PRINT \"B\""), Rows{});
    EXPECT_EQ(run("IF 1 THEN IF 0 THEN PRINT \"A\" ELSE PRINT \"B\""), Rows{"B"});
    EXPECT_EQ(run("IF 0 THEN IF 1 THEN PRINT \"A\" ELSE PRINT \"B\" ELSE PRINT \"C\""), Rows{"C"});
    EXPECT_EQ(run("IF 1 THEN IF 1 THEN PRINT \"A\" ELSE PRINT \"B\" ELSE PRINT \"C\""), Rows{"A"});
    // An ELSE inside quotes is text, not the ELSE of the IF.
    EXPECT_EQ(run("IF 0 THEN PRINT \"ELSE\" ELSE PRINT \"D\""), Rows{"D"});
}

TEST_F(BasicCorners, PowersWorkFromTheLeft) {
    EXPECT_EQ(run("PRINT 2^3^2;2^-1;-2^2;2^-1^2;2^+3;2^(3^2)"), Rows{" 64  0.5 -4  0.25  8  512"});
}

TEST_F(BasicCorners, AWholeNumberLoopRefusesAStepCutToZero) {
    EXPECT_EQ(runProgram({"10 FOR I%=1 TO 2 STEP 0.5:PRINT I%:NEXT"}),
              Rows{"BAD ARGUMENT IN LINE 10"});
    EXPECT_EQ(run("FOR I%=5 TO 1 STEP -2.5:PRINT I%;:NEXT"), Rows{" 5  3  1"});
    EXPECT_EQ(run("FOR I=1 TO 2 STEP 0.5:PRINT I;:NEXT"), Rows{" 1  1.5  2"});
}

TEST_F(BasicCorners, LongLiteralsRoundToNearestLikeComputedValues) {
    EXPECT_EQ(run("PRINT 4294967296-4294967295;9999999999;999999999.6;12345678901"),
              (Rows{" 1  1E+10  1E+09  1.23456789E+10"}));
    EXPECT_EQ(run("PRINT 99999999999-99999999998;999999999.2;1234567890.5-1234567890"),
              (Rows{" 0  999999999  0.5"}));
    EXPECT_EQ(run("C=0:FOR I=4294967291 TO 4294967295:C=C+1:NEXT:PRINT C"), Rows{" 5"});
}

// Past 2^32 the numbers are 2 apart and a sum of a step of 1 may round
// back to the variable (4294967299 lies as near 4294967300 as 4294967298):
// NEXT then moves to the next number in the step's direction, so every
// such loop ends at its limit, up or down, on either side of 0.
TEST_F(BasicCorners, LoopsPastTwoToTheThirtyTwoReachTheirLimits) {
    Rows out = runProgram({"10 N=0:READ A,B,S:IF S=0 THEN END",
                           "20 FOR I=A TO B STEP S:N=N+1:IF N>30 THEN PRINT \"RUNAWAY\":END",
                           "30 PRINT I-A;:NEXT:PRINT N:GOTO 10",
                           "40 DATA 4294967293,4294967298,1, 4294967300,4294967290,-1",
                           "50 DATA -4294967300,-4294967290,1, -4294967290,-4294967300,-1",
                           "60 DATA 4294967296,4294967304,1.5, 0,0,0"});
    EXPECT_EQ(out, (Rows{" 0  1  2  3  5  5", " 0 -2 -4 -5 -6 -7 -8 -9 -10  9",
                         " 0  2  4  5  6  7  8  9  10  9", " 0 -1 -2 -3 -4 -5 -6 -8 -10  9",
                         " 0  2  4  6  8  5"}));
    // A step of 0 still never ends, as the user wrote it.
    EXPECT_EQ(runProgram({"10 FOR I=4294967300 TO 4294967310 STEP 0:N=N+1",
                          "20 IF N=50 THEN PRINT N;I-4294967300:END", "30 NEXT"}),
              Rows{" 50  0"});
}

TEST_F(BasicCorners, InputKeepsTheBlanksBeforeABareAnswerButDataDoesNot) {
    enterProgram({"10 INPUT A$,B$:PRINT \"/\";A$;\"/\";B$;\"/\"", "20 READ C$:PRINT \"/\";C$;\"/\"",
                  "30 DATA   DA"});
    typeAndRun("RUN\r  HI,  \"Q\"\r");
    EXPECT_EQ(outputOfLastCommand(), (Rows{"?   HI,  \"Q\"", "/  HI/Q/", "/DA/"}));
}

TEST_F(BasicCorners, ANumberAnswerTooLargeIsAskedForAgain) {
    enterProgram({"10 INPUT X:PRINT X", "20 INPUT Y$:PRINT Y$"});
    typeAndRun("RUN\r1E99\r-2E38\r5\r  B\r");
    EXPECT_EQ(outputOfLastCommand(),
              (Rows{"? 1E99", "NOT A NUMBER, TYPE AGAIN", "? -2E38", "NOT A NUMBER, TYPE AGAIN",
                    "? 5", " 5", "?   B", "  B"}));
    // Outside INPUT an overflow still stops the program.
    EXPECT_EQ(runProgram({"10 READ X", "20 DATA 1E99"}), Rows{"OVERFLOW IN LINE 10"});
}

} // namespace
