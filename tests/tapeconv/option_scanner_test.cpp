// The getopt-style option scanner on its own.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "option_scanner.h"

namespace {

// Scans a command line and describes each step: "r", "i=file", "!t", "?o", "end".
std::vector<std::string> scan(std::vector<std::string> args, int* stoppedAt = nullptr) {
    args.insert(args.begin(), "prog");
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    OptionScanner scanner = MakeOptionScanner(int(argv.size()), argv.data(), "?cfhs:i:g:mo:rv");
    std::vector<std::string> steps;
    for (;;) {
        const ScanResult result = NextOption(scanner);
        if (result == ScanResult::End) break;
        std::string step(1, scanner.letter);
        if (result == ScanResult::IllegalOption) step = "!" + step;
        if (result == ScanResult::MissingValue) step = "?" + step;
        if (scanner.value != nullptr) step += "=" + std::string(scanner.value);
        steps.push_back(step);
        if (result != ScanResult::Option) break;
    }
    if (stoppedAt != nullptr) *stoppedAt = scanner.argIndex;
    return steps;
}

using Steps = std::vector<std::string>;

}  // namespace

TEST(OptionScanner, ValuesAttachedOrSeparateAndGroupedFlags) {
    EXPECT_EQ(scan({"-rv", "-iin.wav", "-o", "out.atp"}), (Steps{"r", "v", "i=in.wav", "o=out.atp"}));
    EXPECT_EQ(scan({"-vrg3"}), (Steps{"v", "r", "g=3"}));
    EXPECT_EQ(scan({"-o", "-r"}), (Steps{"o=-r"})) << "a value may look like an option";
    EXPECT_EQ(scan({"-?", "-h"}), (Steps{"?", "h"}));
}

TEST(OptionScanner, StopsAtOperandsLoneDashAndDoubleDash) {
    int stoppedAt = 0;
    EXPECT_EQ(scan({"-r", "file", "-v"}, &stoppedAt), (Steps{"r"}));
    EXPECT_EQ(stoppedAt, 2);
    EXPECT_EQ(scan({"-r", "-", "-v"}, &stoppedAt), (Steps{"r"}));
    EXPECT_EQ(stoppedAt, 2);
    EXPECT_EQ(scan({"--", "-v"}, &stoppedAt), Steps{});
    EXPECT_EQ(stoppedAt, 2);
}

TEST(OptionScanner, UnknownLettersColonAndMissingValues) {
    EXPECT_EQ(scan({"-rt"}), (Steps{"r", "!t"}));
    EXPECT_EQ(scan({"-:"}), (Steps{"!:"}));
    EXPECT_EQ(scan({"-v", "-i"}), (Steps{"v", "?i"}));
    EXPECT_EQ(scan({"-rs"}), (Steps{"r", "?s"}));
}
