// Arrays of three dimensions: every element its own, the bounds checked
// along each index, and the room they take.
#include "basic_session.h"

#include <gtest/gtest.h>

using namespace basic_test;
using Rows = std::vector<std::string>;

namespace {

using ThreeDimensionalArrays = BasicTest;

TEST_F(ThreeDimensionalArrays, EveryElementIsItsOwn) {
    // Each element gets a value of its own; any two indices that shared a
    // place would leave a wrong one behind.
    Rows out = runProgram({
        "10 DIM A(2,3,4),C%(4,1,2)",
        "20 FOR I=0 TO 2:FOR J=0 TO 3:FOR K=0 TO 4:A(I,J,K)=I*100+J*10+K:NEXT:NEXT:NEXT",
        "30 FOR I=0 TO 2:FOR J=0 TO 3:FOR K=0 TO 4",
        "40 IF A(I,J,K)<>I*100+J*10+K THEN PRINT \"BAD\";I;J;K",
        "50 S=S+A(I,J,K):NEXT:NEXT:NEXT",
        "60 FOR I=0 TO 4:FOR J=0 TO 1:FOR K=0 TO 2:C%(I,J,K)=I-J*K:NEXT:NEXT:NEXT",
        "70 PRINT S;A(2,3,4);C%(4,1,2);C%(0,1,2);C%(3,0,1)",
    });
    EXPECT_EQ(out, Rows{" 7020  234  2 -2  3"});
}

TEST_F(ThreeDimensionalArrays, StringElementsOutliveCollectionsAndMovedArrays) {
    Rows out = runProgram(
        {
            "10 DIM B$(3,2,4)",
            "20 FOR R=1 TO 12:FOR I=0 TO 3:FOR J=0 TO 2:FOR K=0 TO 4",
            "30 B$(I,J,K)=STR$(R)+\"/\"+STR$(I*100+J*10+K):NEXT:NEXT:NEXT:NEXT",
            "40 ZZ=1:Z$=\"NEW VARIABLES MOVE THE ARRAYS\"",
            "50 PRINT B$(0,0,0);\" \";B$(3,2,4);\" \";B$(1,2,3);\" \";B$(2,0,1)",
            "60 PRINT LEN(B$(3,0,0))",
        },
        3000);
    EXPECT_EQ(out, (Rows{" 12/ 0  12/ 324  12/ 123  12/ 201", " 8"}));
}

TEST_F(ThreeDimensionalArrays, ElementsTakeValuesWhereverAVariableDoes) {
    Rows out = runProgram({
        "10 DIM A(2,3,4),S$(1,1,1)",
        "20 READ A(1,2,3),S$(1,0,1),A(2,3,4)",
        "30 SWAP A(1,2,3),A(0,0,0):SWAP S$(1,0,1),S$(0,1,0)",
        "40 PRINT A(0,0,0);A(1,2,3);A(2,3,4);S$(0,1,0);LEN(S$(1,0,1))",
        "50 DATA 7,\"WORD\",-2.5",
    });
    EXPECT_EQ(out, Rows{" 7  0 -2.5 WORD 0"});
}

TEST_F(ThreeDimensionalArrays, UndimensionedArraysGetElevenAlongEachIndex) {
    EXPECT_EQ(runProgram({"10 A(10,10,10)=5:B$(0,10,1)=\"X\"", "20 PRINT A(10,10,10);B$(0,10,1)"}),
              Rows{" 5 X"});
    EXPECT_EQ(runProgram({"10 A(10,10,10)=5", "20 PRINT A(10,11,10)"}),
              Rows{"BAD SUBSCRIPT IN LINE 20"});
}

TEST_F(ThreeDimensionalArrays, IndicesOutsideTheBoundsOrOfTheWrongCountAreRefused) {
    enterProgram({"10 DIM A(2,3,4)", "20 READ I,J,K:PRINT A(I,J,K)", "30 DATA 0,0,0"});
    EXPECT_EQ(run("RUN"), Rows{" 0"});
    for (const char* bad : {"3,0,0", "0,4,0", "0,0,5", "-1,0,0", "0,-1,0", "0,0,-1"}) {
        typeAndRun(std::string("30 DATA ") + bad + "\r");
        EXPECT_EQ(run("RUN"), Rows{"BAD SUBSCRIPT IN LINE 20"}) << bad;
    }
    EXPECT_EQ(runProgram({"10 DIM A(2,3,4)", "20 PRINT A(1,2)"}), Rows{"BAD SUBSCRIPT IN LINE 20"});
    EXPECT_EQ(runProgram({"10 DIM A(2,3)", "20 PRINT A(1,2,0)"}), Rows{"BAD SUBSCRIPT IN LINE 20"});
    // A fourth index or dimension.
    EXPECT_EQ(runProgram({"10 DIM A(2,3,4)", "20 A(1,2,3,0)=1"}), Rows{"BAD SUBSCRIPT IN LINE 20"});
    EXPECT_EQ(run("DIM D(1,2,3,4)"), Rows{"BAD SUBSCRIPT"});
    EXPECT_EQ(run("DIM D(1,2,-1)"), Rows{"BAD SUBSCRIPT"});
    EXPECT_EQ(run("DIM A(1,1,1)"), Rows{"ARRAY ALREADY DIMENSIONED"});
}

TEST_F(ThreeDimensionalArrays, TheRoomTakenIsTheElementsAndAHeader) {
    // A header of 11 bytes (name, size, count, three bounds), then the
    // elements at 5, 2 or 3 bytes.
    EXPECT_EQ(run("F=FRE(0):DIM A(2,3,4):PRINT F-FRE(0)"), Rows{" 311"});
    EXPECT_EQ(run("F=FRE(0):DIM C%(1,2,3):PRINT F-FRE(0)"), Rows{" 59"});
    EXPECT_EQ(run("F=FRE(0):DIM B$(1,1,1):PRINT F-FRE(0)"), Rows{" 35"});
    // Too large for memory, and too large to count in 16 bits.
    EXPECT_EQ(run("DIM E(20,20,20)"), Rows{"OUT OF MEMORY"});
    EXPECT_EQ(run("DIM E(40,40,40)"), Rows{"OUT OF MEMORY"});
    EXPECT_EQ(run("DIM E(255,255,1)"), Rows{"OUT OF MEMORY"});
    EXPECT_EQ(run("PRINT A(2,3,4)"), Rows{" 0"});
}

} // namespace
