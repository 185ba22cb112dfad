// Error trapping: ON ERROR GOTO sends a running program's errors to a
// handler, which learns the error from ERR and ERL and goes on with
// RESUME in its three forms.
#include "basic_session.h"

#include <gtest/gtest.h>

using namespace basic_test;
using Rows = std::vector<std::string>;

namespace {

using ErrorTrap = BasicTest;

TEST_F(ErrorTrap, ResumeNextGoesOnAfterTheStatementThatFailed) {
    Rows out = runProgram({
        "10 ON ERROR GOTO 100",
        "20 A=1/0:PRINT \"AFTER\"",
        "30 PRINT X(11):PRINT \"SAME LINE\"",
        "40 PRINT \"END\":END",
        "100 PRINT \"E\";ERR;ERL:RESUME NEXT",
    });
    EXPECT_EQ(out, (Rows{"E 3  20", "AFTER", "E 16  30", "SAME LINE", "END"}));
}

// A number READ from text fails in the READ: ERL is its line and RESUME
// NEXT goes on after it; untrapped, the message names the DATA line.
TEST_F(ErrorTrap, AReadOfTextIsTrappedInTheReadsLine) {
    Rows out = runProgram({
        "10 ON ERROR GOTO 100",
        "20 READ A:PRINT \"NEXT\";A",
        "30 READ B$,B:PRINT B$;B:END",
        "50 DATA X,7",
        "100 PRINT \"E\";ERR;ERL:RESUME NEXT",
    });
    // The item that failed is still the next one to read.
    EXPECT_EQ(out, (Rows{"E 1  20", "NEXT 0", "X 7"}));
    // RESUME runs the READ again, here after the handler moved the data on.
    EXPECT_EQ(runProgram({"100 PRINT \"E\";ERL:RESTORE 60:RESUME", "60 DATA 5,Q,6"}),
              (Rows{"E 20", "NEXT 5", "Q 6"}));
    EXPECT_EQ(runProgram({"10 REM"}), Rows{"SYNTAX ERROR IN LINE 50"});
}

TEST_F(ErrorTrap, ResumeRunsTheFailedStatementAgainAndResumeNGoesToALine) {
    Rows out = runProgram({
        "10 ON ERROR GOTO 100:D=0",
        "20 PRINT 6/D",
        "30 READ A$",
        "40 PRINT \"NOT HERE\"",
        "50 PRINT \"DONE\";ERR:END",
        "100 IF ERR=3 THEN D=2:RESUME",
        "110 RESUME 50",
    });
    EXPECT_EQ(out, (Rows{" 3", "DONE 21"}));
    // RESUME 0 is plain RESUME.
    out = runProgram({"10 ON ERROR GOTO 100:D=0", "20 PRINT 6/D:END", "100 D=3:RESUME 0"});
    EXPECT_EQ(out, Rows{" 2"});
}

TEST_F(ErrorTrap, AnErrorInsideTheHandlerStopsTheProgram) {
    Rows out = runProgram({"10 ON ERROR GOTO 100", "20 A=1/0", "100 PRINT \"H\":B=C$"});
    EXPECT_EQ(out, (Rows{"H", "TYPE MISMATCH IN LINE 100"}));
    // ON ERROR GOTO 0 in the handler stops with the error being handled.
    out = runProgram({"10 ON ERROR GOTO 100", "20 A=1/0", "100 ON ERROR GOTO 0"});
    EXPECT_EQ(out, Rows{"DIVISION BY ZERO IN LINE 20"});
    // After RESUME the handler takes the next error again.
    out = runProgram({"10 ON ERROR GOTO 100", "20 A=1/0:B=1/0:PRINT N", "100 N=N+1:RESUME NEXT"});
    EXPECT_EQ(out, Rows{" 2"});
}

TEST_F(ErrorTrap, WhatIsNeverTrapped) {
    // Off again, a command typed at the prompt, and a RESUME with no error.
    EXPECT_EQ(runProgram({"10 ON ERROR GOTO 100:ON ERROR GOTO 0", "20 A=1/0", "100 END"}),
              Rows{"DIVISION BY ZERO IN LINE 20"});
    EXPECT_EQ(run("ON ERROR GOTO 100:A=1/0"), Rows{"DIVISION BY ZERO"});
    EXPECT_EQ(runProgram({"10 RESUME"}), Rows{"RESUME WITHOUT ERROR IN LINE 10"});
    // RUN forgets the handler and the last error.
    enterProgram({"10 PRINT ERR;ERL:A=1/0"});
    EXPECT_EQ(run("RUN"), (Rows{" 0  0", "DIVISION BY ZERO IN LINE 10"}));
}

TEST_F(ErrorTrap, LoopsAndSubroutinesOpenAtTheErrorCarryOn) {
    Rows out = runProgram({
        "10 ON ERROR GOTO 100",
        "20 FOR I=1 TO 3:GOSUB 50:NEXT:PRINT \"S\";S:END",
        "50 S=S+10/(I-2):RETURN",
        "100 S=S+1000:RESUME NEXT",
    });
    EXPECT_EQ(out, Rows{"S 1000"});
}

TEST_F(ErrorTrap, TheNewWordsListAsTypedAndFollowRenum) {
    const Rows lines = {"10 ON ERROR GOTO 100", "20 PRINT ERR;ERL", "100 RESUME NEXT",
                        "110 RESUME 20"};
    enterProgram(lines);
    EXPECT_EQ(run("LIST"), lines);
    // RENUM carries RESUME's line along with ON ERROR GOTO's.
    run("RENUM 100,5");
    EXPECT_EQ(run("LIST"), (Rows{"100 ON ERROR GOTO 110", "105 PRINT ERR;ERL", "110 RESUME NEXT",
                                 "115 RESUME 105"}));
}

} // namespace
