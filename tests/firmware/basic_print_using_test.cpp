// PRINT USING and LPRINT USING: number fields against a formatter of the
// test's own, worked out on the host from the number's nine digits over
// many values and formats; string fields, the format's own text, its
// reuse, and the failures a user meets.
#include "basic_session.h"

#include "machine/ports.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

using namespace basic_test;
using Rows = std::vector<std::string>;

namespace {

// ---------------------------------------------------------------- the reference
struct NumberField {
    bool plusBefore = false, stars = false, dollar = false, commas = false, point = false,
         exponent = false;
    char after = 0; // '+', '-' or none
    int places = 0; // before the point, '$' and '*' included
    int decimals = 0;
};

NumberField parseField(const std::string& text) {
    NumberField field;
    size_t i = 0;
    auto at = [&](const char* word) { return text.compare(i, std::strlen(word), word) == 0; };
    if (at("+")) field.plusBefore = true, ++i;
    if (at("**$"))
        field.stars = field.dollar = true, field.places = 3, i += 3;
    else if (at("**"))
        field.stars = true, field.places = 2, i += 2;
    else if (at("$$"))
        field.dollar = true, field.places = 2, i += 2;
    for (; i < text.size() && (text[i] == '#' || text[i] == ','); ++i) {
        field.commas |= text[i] == ',';
        ++field.places;
    }
    if (at(".")) {
        field.point = true;
        for (++i; at("#"); ++i)
            ++field.decimals;
    }
    if (at("^^^^")) field.exponent = true, i += 4;
    if (!field.plusBefore && (at("+") || at("-"))) field.after = text[i++];
    EXPECT_EQ(i, text.size()) << "the reference reads one field: " << text;
    return field;
}

// Adds one to the decimal digits; true when a digit carried out of the
// first (which the caller puts back as a leading 1).
bool increment(std::string& digits) {
    for (size_t i = digits.size(); i-- > 0;) {
        if (digits[i] != '9') {
            ++digits[i];
            return false;
        }
        digits[i] = '0';
    }
    return true;
}

std::string withCommas(const std::string& whole) {
    std::string out;
    for (size_t i = 0; i < whole.size(); ++i) {
        if (i > 0 && (whole.size() - i) % 3 == 0) out += ',';
        out += whole[i];
    }
    return out;
}

// The field's text for the value, by the documented rules: the nine
// significant digits PRINT shows, rounded to the field, halves away from 0.
std::string reference(const std::string& format, long double value) {
    NumberField field = parseField(format);
    bool negative = value < 0;
    std::string nine(9, '0');
    int power = 0; // value = d.dddddddd x 10^power
    if (value != 0) {
        char text[64];
        std::snprintf(text, sizeof text, "%.8Le", std::fabs(value));
        nine = std::string(1, text[0]) + std::string(text + 2, 8);
        power = std::atoi(std::strchr(text, 'e') + 1);
    }
    bool signShown = field.plusBefore || field.after;
    bool minus = negative && !signShown;
    std::string whole, fraction, exponent;
    int needed = 0;
    if (!field.exponent) {
        // The exact decimal expansion, split at the point.
        if (value == 0) {
        } else if (power >= 0) {
            whole =
                nine.substr(0, std::min(9, power + 1)) + std::string(std::max(0, power - 8), '0');
            if (power < 8) fraction = nine.substr(power + 1);
        } else {
            fraction = std::string(-power - 1, '0') + nine;
        }
        fraction.resize(std::max<size_t>(fraction.size(), field.decimals + 1), '0');
        bool up = fraction[field.decimals] >= '5';
        fraction.resize(field.decimals);
        std::string all = whole + fraction;
        if (up && increment(all)) all = "1" + all;
        whole = all.substr(0, all.size() - field.decimals);
        fraction = all.substr(all.size() - field.decimals);
        whole.erase(0, whole.find_first_not_of('0'));
        if (whole.find_first_not_of('0') == std::string::npos) whole.clear();
        std::string shown = field.commas ? withCommas(whole) : whole;
        needed = static_cast<int>(shown.size()) + field.dollar + minus;
        if (whole.empty() && (!field.point || needed < field.places)) {
            shown = "0";
            ++needed;
        }
        whole = shown;
    } else {
        int available = field.places - field.dollar;
        int before = !signShown && available >= 2 ? available - 1 : available;
        int significant = before + field.decimals;
        if (significant == 0) before = significant = 1;
        std::string digits = nine;
        int shownPower = 0;
        if (value != 0) {
            digits.resize(std::max(9, significant), '0');
            if (significant < 9) {
                bool up = digits[significant] >= '5';
                digits.resize(significant);
                if (up && increment(digits)) {
                    digits = "1" + std::string(significant - 1, '0');
                    ++power;
                }
            }
            shownPower = power - before + 1;
        } else {
            digits.assign(significant, '0');
        }
        whole = digits.substr(0, before);
        fraction = digits.substr(before, field.decimals);
        char text[16];
        std::snprintf(text, sizeof text, "E%c%02d", shownPower < 0 ? '-' : '+',
                      std::abs(shownPower));
        exponent = text;
        needed = before + field.dollar + minus;
    }
    std::string out =
        needed > field.places ? "%" : std::string(field.places - needed, field.stars ? '*' : ' ');
    if (field.plusBefore)
        out += negative ? '-' : '+';
    else if (minus)
        out += '-';
    if (field.dollar) out += '$';
    out += whole;
    if (field.point) out += "." + fraction;
    out += exponent;
    if (field.after) out += negative ? '-' : field.after == '+' ? '+' : ' ';
    return out;
}

TEST(PrintUsingReference, FollowsTheDocumentedExamples) {
    // The reference itself, on the examples of the documentation, so that a
    // fault in it cannot hide one of the firmware's.
    EXPECT_EQ(reference("##.##", 3.14159L), " 3.14");
    EXPECT_EQ(reference("##.#", 123.45L), "%123.5");
    EXPECT_EQ(reference(".##", 0.999L), "%1.00");
    EXPECT_EQ(reference("**$##,###.##", 1234.5L), "***$1,234.50");
    EXPECT_EQ(reference("##.##^^^^", 234.56L), " 2.35E+02");
    EXPECT_EQ(reference(".####^^^^", 888888), ".8889E+06");
    EXPECT_EQ(reference("###.#-", -5), "  5.0-");
}

// ---------------------------------------------------------------- the firmware
std::string readPrinter(const std::filesystem::path& folder) {
    closePrinter();
    std::ifstream file(folder / "printer.txt");
    std::stringstream content;
    content << file.rdbuf();
    return content.str();
}

class PrintUsing : public BasicTest {
  protected:
    void SetUp() override {
        BasicTest::SetUp();
        folder = scratchPath("using");
        std::filesystem::create_directories(folder);
        std::filesystem::remove(folder / "printer.txt");
        closePrinter();
        setPrinterDirectory(folder.string());
    }
    void TearDown() override {
        closePrinter();
        std::filesystem::remove_all(folder);
    }
    std::filesystem::path folder;
};

TEST_F(PrintUsing, NumberFieldsAgreeWithTheReferenceOverManyValuesAndFormats) {
    const std::vector<std::string> formats = {
        "#",           "###",        "##.##",       ".##",           "#.#####",
        "+##.##",      "##.##-",     "###.+",       "**##.#",        "$$###.##",
        "**$#,###.##", "#,###,###",  "###,###.##",  "##.##^^^^",     ".####^^^^",
        "+#.###^^^^",  "###.#^^^^-", "#########.#", "#.###########", "$$.##^^^^",
        "#,.##",       "**.#"};
    std::vector<std::string> values = {
        "0",          "1",          "-1",         ".5",          "-.5",        ".005",
        ".05",        ".995",       "9.995",      "99.995",      "-99.995",    "12345.678",
        "-12345.678", "1234567.89", "123456789",  "999999999",   "4294967296", "1E+10",
        "2.5E-07",    "1.5E-03",    "3.14159265", "-2.71828183", ".000123456", "-.0001",
        "65535",      "-32768",     "999.5",      "-999.5",      "1E-06",      "5E-05"};
    // Random numbers of one to nine digits, from 1E-7 to 1E+11.
    std::mt19937 random(20261208);
    for (int i = 0; i < 40; ++i) {
        int digits = 1 + static_cast<int>(random() % 9);
        std::string text = std::to_string(1 + random() % 9);
        for (int d = 1; d < digits; ++d)
            text += std::to_string(random() % 10);
        int power = static_cast<int>(random() % 19) - 8;
        text.insert(1, ".");
        text += "E" + std::string(power < 0 ? "-" : "+") + std::to_string(std::abs(power));
        values.push_back((random() % 3 == 0 ? "-" : "") + text);
    }
    std::vector<std::string> lines = {
        "10 DIM F$(" + std::to_string(formats.size()) + "),X(" + std::to_string(values.size()) +
            ")",
        "20 FOR I=1 TO " + std::to_string(formats.size()) + ":READ F$(I):NEXT",
        "30 FOR I=1 TO " + std::to_string(values.size()) + ":READ X(I):NEXT",
        "40 FOR I=1 TO " + std::to_string(formats.size()) + ":FOR J=1 TO " +
            std::to_string(values.size()) + ":LPRINT USING F$(I);X(J):NEXT:NEXT",
    };
    int number = 100;
    std::string data;
    auto flush = [&] {
        if (!data.empty()) lines.push_back(std::to_string(number++) + " DATA " + data);
        data.clear();
    };
    for (const auto& format : formats) {
        if (data.size() > 60) flush();
        data += (data.empty() ? "\"" : ",\"") + format + "\"";
    }
    flush();
    for (const auto& value : values) {
        if (data.size() > 60) flush();
        data += (data.empty() ? "" : ",") + value;
    }
    flush();
    enterProgram(lines);
    typeAndRun("RUN\r", 20000);
    ASSERT_TRUE(atPrompt());
    std::istringstream printed(readPrinter(folder));
    std::string line;
    std::vector<std::string> got;
    while (std::getline(printed, line))
        if (!line.empty()) got.push_back(line);
    ASSERT_EQ(got.size(), formats.size() * values.size());
    size_t at = 0, wrong = 0;
    for (const auto& format : formats)
        for (const auto& value : values) {
            std::string want = reference(format, std::strtold(value.c_str(), nullptr));
            if (got[at] != want && ++wrong <= 20)
                ADD_FAILURE() << "PRINT USING \"" << format << "\";" << value << " gave ["
                              << got[at] << "], want [" << want << "]";
            ++at;
        }
    EXPECT_EQ(wrong, 0u);
}

TEST_F(PrintUsing, WholeNumbersAndFloatsGoThroughTheSameFields) {
    EXPECT_EQ(run("A%=-1234:PRINT USING \"##,###.#/\";A%;-1234;A%/1"),
              Rows{"-1,234.0/-1,234.0/-1,234.0/"});
    EXPECT_EQ(run("PRINT USING \"+##\";0;32767"), Rows{" +0%+32767"});
    // Elements of arrays of three indices, numbers and strings.
    EXPECT_EQ(run("DIM A(2,2,2),B$(1,1,1):A(1,2,1)=3.25:B$(1,0,1)=\"XY\":PRINT USING "
                  "\"##.# !\";A(1,2,1),B$(1,0,1)"),
              Rows{" 3.3 X"});
}

TEST_F(PrintUsing, StringFieldsAndTheFormatsOwnText) {
    EXPECT_EQ(run("PRINT USING \"(!)(&)(\\  \\)\";\"ORVANE\",\"BASIC\",\"AB\""),
              Rows{"(O)(BASIC)(AB  )"});
    EXPECT_EQ(run("PRINT USING \"<\\\\>!)\";\"XYZ\",\"\""), Rows{"<XY> )"});
    // '_' shows the next character as text; a lone '$', '*', '.', '+' and
    // '\' are text too.
    EXPECT_EQ(run("PRINT USING \"_#_!__ # $ * . + ##.\\\";1;23"), Rows{"#!_ 1 $ * . + 23.\xD6"});
    EXPECT_EQ(run("PRINT USING \"TOTAL ###,### KR\";1234567"), Rows{"TOTAL %1,234,567 KR"});
}

TEST_F(PrintUsing, TheFormatIsReusedAndSeparatorsWorkAsInPrint) {
    EXPECT_EQ(run("PRINT USING \"(##)\";1;2;3"), Rows{"( 1)( 2)( 3)"});
    EXPECT_EQ(run("PRINT USING \"A=## B=##\";1,2,3"), Rows{"A= 1 B= 2A= 3 B="});
    // A separator at the end keeps the line open, for PRINT to go on.
    EXPECT_EQ(run("PRINT USING \"##\";7;:PRINT USING \"!\";\"Q\";:PRINT \"E\""), Rows{" 7QE"});
    EXPECT_EQ(run("F$=\"#.#\":G$=\"X\":PRINT USING F$+G$;.25"), Rows{"0.3X"});
}

TEST_F(PrintUsing, MistakesGiveTheirErrors) {
    EXPECT_EQ(run("PRINT USING \"ABC\";1"), (Rows{"ABC", "BAD ARGUMENT"}));
    EXPECT_EQ(run("PRINT USING \"\";1"), Rows{"BAD ARGUMENT"});
    EXPECT_EQ(run("PRINT USING \"##\";\"A\""), Rows{"TYPE MISMATCH"});
    EXPECT_EQ(run("PRINT USING \"&\";1"), Rows{"TYPE MISMATCH"});
    EXPECT_EQ(run("PRINT USING 5;1"), Rows{"TYPE MISMATCH"});
    EXPECT_EQ(run("PRINT USING \"##\" 1"), Rows{"SYNTAX ERROR"});
    EXPECT_EQ(run("PRINT USING \"##\";1 2"), Rows{"SYNTAX ERROR"});
    // USING is a keyword, not a name.
    EXPECT_EQ(run("USING=1"), Rows{"SYNTAX ERROR"});
    // The machine goes on normally after each.
    EXPECT_EQ(run("PRINT USING \"##.#\";2.25"), Rows{" 2.3"});
}

TEST_F(PrintUsing, LprintUsingGoesToThePrinterAndTheScreenStaysClear) {
    EXPECT_EQ(run("LPRINT USING \"$$#,###.##\";1234.5;:LPRINT USING \" !\";\"OK\""), Rows{});
    EXPECT_EQ(readPrinter(folder), "\n $1,234.50 O\n");
    // The listing shows the keyword as typed.
    enterProgram({"10 LPRINT USING \"##\";1"});
    EXPECT_EQ(run("LIST"), Rows{"10 LPRINT USING \"##\";1"});
}

// The format is copied before the items are worked out, so a collection
// of the string heap that moves it (memory is nearly full and the items
// make new strings) does not change what is shown; nor does a long loop
// of them use up the processor stack.
TEST_F(PrintUsing, TheFormatSurvivesCollectionsAndLongLoops) {
    Rows out =
        runProgram({"10 DIM Z(5750)", "20 F$=\"<\"+STRING$(3,\"#\")+\">&\":A$=STRING$(60,\"S\")",
                    "30 FOR I=1 TO 300", "40 LPRINT USING F$;I,MID$(A$+A$+STR$(I),120);",
                    "50 IF I MOD 10=0 THEN LPRINT", "60 NEXT",
                    "70 PRINT FRE(0)<1000;(((((((((((((((1)))))))))))))))"},
                   4000);
    EXPECT_EQ(out, Rows{"-1  1"});
    std::string want = "\n";
    for (int i = 1; i <= 300; ++i) {
        char field[16];
        std::snprintf(field, sizeof field, "<%3d>S %d", i, i);
        want += field;
        if (i % 10 == 0) want += "\n";
    }
    EXPECT_EQ(readPrinter(folder), want);
}

} // namespace
