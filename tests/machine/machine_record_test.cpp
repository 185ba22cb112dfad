// The machine record against what the build really holds: every mutable
// object in the core's static libraries (nm's B, b, D and d symbols outside the
// read-only-after-relocation sections) must belong to a device, to the
// connections power-on fills in, or to the host-only list; every name those
// lists give must exist. A global added to a device and forgotten by power-on
// and the save state fails here until it is listed.
#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "abc80/abc80.h"
#include "abc80/save_state.h"
#include "core_libraries.h"
#include "cpu/bus.h"
#include "cpu/z80.h"
#include "machine/memory.h"
#include "machine/model.h"
#include "tests/support/run_command.h"

namespace {

// "file.cpp:name" as the record's lists write it, from one line of
// `nm --format=sysv` under the header of its archive member.
std::string objectKey(const std::string& member, std::string name) {
    static const std::regex anonymous(R"(\(anonymous namespace\)::)");
    static const std::regex abiTag(R"(\[abi:[^\]]*\])");
    static const std::regex parameters(R"(\([^()]*\)(?=::))");
    name = std::regex_replace(name, anonymous, "");
    name = std::regex_replace(name, abiTag, "");
    name = std::regex_replace(name, parameters, "()");
    const std::string guard = "guard variable for ";
    if (name.rfind(guard, 0) == 0) name = name.substr(guard.size());
    std::string file = member;
    if (file.size() > 2 && file.ends_with(".o")) file.resize(file.size() - 2);
    return file + ":" + name;
}

struct CoreObjects {
    std::map<std::string, std::string> where; // key -> library
    std::string failure;
};

// The mutable objects of every core library the build made.
CoreObjects readCoreObjects() {
    CoreObjects found;
    for (const std::string library : CoreLibraries) {
        std::string listing;
        const int status = runCommand(
            std::string("'") + NmProgram + "' -C --format=sysv '" + library + "' 2>&1", &listing);
        if (status != 0) {
            found.failure = "nm failed on " + library + ": " + listing;
            return found;
        }
        std::istringstream lines(listing);
        std::string member;
        size_t symbols = 0;
        for (std::string line; std::getline(lines, line);) {
            if (line.rfind("Symbols from ", 0) == 0) {
                const size_t open = line.rfind('['), close = line.rfind(']');
                member = open != std::string::npos && close > open
                             ? line.substr(open + 1, close - open - 1)
                             : std::string();
                continue;
            }
            // name | value | class | type | size | line | section
            std::vector<std::string> fields;
            std::stringstream row(line);
            for (std::string field; std::getline(row, field, '|');)
                fields.push_back(field);
            if (fields.size() < 7) continue;
            ++symbols;
            auto trim = [](std::string text) {
                text.erase(0, text.find_first_not_of(' '));
                text.erase(text.find_last_not_of(' ') + 1);
                return text;
            };
            const std::string name = trim(fields[0]), kind = trim(fields[2]),
                              section = trim(fields[6]);
            if (kind != "B" && kind != "b" && kind != "D" && kind != "d") continue;
            // Tables of pointers are written once by the loader and then only read.
            if (section.find(".rel.ro") != std::string::npos) continue;
            // The compiler's and the sanitizers' own objects.
            if (name.rfind("__", 0) == 0 || name.rfind(".L", 0) == 0) continue;
            found.where[objectKey(member, name)] = library;
        }
        if (symbols == 0) {
            found.failure = "nm listed no symbols in " + library;
            return found;
        }
    }
    return found;
}

// Every name the record gives, with who gives it.
std::map<std::string, std::string> recordedNames(std::vector<std::string>& twice) {
    std::map<std::string, std::string> names;
    auto add = [&](const std::string& name, const std::string& owner) {
        if (!names.emplace(name, owner).second) twice.push_back(name);
    };
    for (const MachineDevice& device : Abc80.devices)
        for (const char* name : device.objects)
            add(name, device.name);
    for (const char* name : Abc80.connections)
        add(name, "connections");
    for (const HostOnlyObject& object : Abc80.hostOnly)
        add(object.name, std::string("host-only: ") + object.why);
    return names;
}

TEST(MachineRecord, EveryMutableObjectOfTheCoreBelongsToTheMachineOrTheHost) {
    const CoreObjects core = readCoreObjects();
    ASSERT_EQ(core.failure, "");
    std::vector<std::string> twice;
    const std::map<std::string, std::string> named = recordedNames(twice);
    EXPECT_TRUE(twice.empty()) << "named more than once: " << twice.front();

    std::string unowned;
    for (const auto& [key, library] : core.where)
        if (!named.count(key)) unowned += "\n  " + key + " (" + library + ")";
    EXPECT_EQ(unowned, "")
        << "mutable objects that neither power-on resets nor a save state records; give "
           "each to its device in abc80/abc80.cpp (and reset it in the device's power-on) or, "
           "when it is the host's, to the host-only list with the reason:"
        << unowned;

    std::string stale;
    for (const auto& [name, owner] : named)
        if (!core.where.count(name)) stale += "\n  " + name + " (" + owner + ")";
    EXPECT_EQ(stale, "") << "names in the machine record that no core library holds:" << stale;
}

// The sections of a save state, in file order.
std::vector<std::string> stateSections(const std::vector<uint8_t>& state) {
    std::vector<std::string> tags;
    size_t at = 20; // magic, version, body size, CRC-32
    while (at + 12 <= state.size()) {
        tags.emplace_back(reinterpret_cast<const char*>(&state[at]), 4);
        const uint32_t length = state[at + 8] | state[at + 9] << 8 | state[at + 10] << 16 |
                                uint32_t{state[at + 11]} << 24;
        at += 12 + length;
    }
    EXPECT_EQ(at, state.size()) << "sections do not end where the state ends";
    return tags;
}

TEST(MachineRecord, AStateHoldsTheSectionOfEveryDeviceThatHasOneInDeviceOrder) {
    machinePowerOn();
    std::vector<uint8_t> state;
    saveState(state);
    std::vector<std::string> expected;
    for (const MachineDevice& device : Abc80.devices)
        if (device.stateSection) expected.emplace_back(device.stateSection, 4);
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(stateSections(state), expected);

    std::string message;
    EXPECT_TRUE(loadState(state, message)) << message;
}

// The objects power-on took over from no one: a watch hit and an ended
// execute call left from before must not look like a stop after it.
TEST(MachineRecord, PowerOnForgetsAWatchHitAndWhereTheLastRunStopped) {
    machinePowerOn();
    watchHitAddress = 0x7C00;
    watchHitKind = WatchWrite;
    stoppedAt = StopAfterInstruction;
    machinePowerOn();
    EXPECT_EQ(watchHitAddress, 0);
    EXPECT_EQ(watchHitKind, 0u);
    EXPECT_EQ(stoppedAt, 0);
}

// Each screen layout places every character of every row in its own byte
// inside its video memory, which lies in RAM the processor writes.
TEST(MachineModel, ScreenLayoutsGiveEveryCharacterItsOwnByteInWritableMemory) {
    for (const VideoLayout& layout : Abc80Model.video) {
        SCOPED_TRACE(layout.columns);
        std::set<int> used;
        for (int row = 0; row < layout.rows; row++)
            for (int column = 0; column < layout.columns; column++) {
                const int offset = layout.rowOffset(row) + column;
                EXPECT_TRUE(used.insert(offset).second) << "row " << row << " column " << column;
                EXPECT_LT(offset, static_cast<int>(layout.bytes()));
                EXPECT_TRUE(processorCanWrite(static_cast<uint16_t>(layout.base + offset)));
            }
    }
}

} // namespace
