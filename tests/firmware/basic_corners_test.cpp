// Corners of the dialect that users meet in their first hour: starting a
// program part way, seeding RND, the print head past the screen's width,
// long literals, and how INPUT and DATA treat what is typed.
#include "basic_session.h"

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

} // namespace
