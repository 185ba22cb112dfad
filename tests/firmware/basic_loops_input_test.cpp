// WHILE/WEND loops and LINE INPUT, the statements added after BASIC 2.
#include "basic_session.h"

#include <gtest/gtest.h>

using namespace basic_test;
using Rows = std::vector<std::string>;

namespace {

using WhileWend = BasicTest;
using LineInput = BasicTest;

TEST_F(WhileWend, LoopsNestAndAFalseConditionSkipsToTheMatchingWend) {
    Rows out = runProgram({
        "10 I=0:WHILE I<3:I=I+1:J=0",
        "20 WHILE J<I:PRINT J;:J=J+1:WEND:PRINT",
        "30 WEND",
        "40 WHILE 0:PRINT \"NO\":WHILE 1:PRINT \"NOR\":WEND",
        "50 PRINT \"WEND\"",
        "60 WEND:PRINT \"OK\";I",
    });
    EXPECT_EQ(out, (Rows{" 0", " 0  1", " 0  1  2", "OK 3"}));
    // On one line, as a command too.
    EXPECT_EQ(run("K=5:WHILE K>0:PRINT K;:K=K-2:WEND"), Rows{" 5  3  1"});
}

TEST_F(WhileWend, NestingWithGosubAndForIsChecked) {
    EXPECT_EQ(runProgram({"10 GOSUB 100:PRINT \"BACK\":END", "100 WHILE 1:RETURN"}),
              Rows{"RETURN WITHOUT GOSUB IN LINE 100"});
    run("NEW");
    EXPECT_EQ(runProgram({"10 GOSUB 100", "100 WEND"}), Rows{"WEND WITHOUT WHILE IN LINE 100"});
    run("NEW");
    EXPECT_EQ(runProgram({"10 WHILE 0", "20 PRINT 1"}), Rows{"WHILE WITHOUT WEND IN LINE 10"});
    // A subroutine and a FOR loop inside a WHILE work as usual.
    run("NEW");
    Rows out = runProgram({"10 WHILE N<2:GOSUB 100:FOR I=1 TO 2:S=S+I:NEXT:WEND:PRINT N;S",
                           "20 END", "100 N=N+1:RETURN"});
    EXPECT_EQ(out, Rows{" 2  6"});
}

TEST_F(LineInput, TakesTheWholeLineCommasAndQuotesIncluded) {
    enterProgram(
        {"10 LINE INPUT \"NAME: \";A$:PRINT \"/\";A$;\"/\"", "20 LINE INPUT B$:PRINT LEN(B$)"});
    typeAndRun("RUN\r Smith, \"J\", Jr\r\r");
    EXPECT_EQ(outputOfLastCommand(),
              (Rows{"NAME:  Smith, \"J\", Jr", "/ Smith, \"J\", Jr/", "", " 0"}));
    EXPECT_EQ(runProgram({"10 LINE INPUT A"}), Rows{"TYPE MISMATCH IN LINE 10"});
}

} // namespace
