// A scripted monitor console for the tests: hands out prepared command lines
// and records what the monitor writes, split by text attribute.
#pragma once

#include "monitor/console.h"

#include <functional>
#include <string>
#include <vector>

struct ScriptConsole {
    std::vector<std::string> lines; // read one by one, each with '\n' added
    size_t next = 0;
    std::string out;    // everything written
    std::string bright; // what was written in the bright attribute
    int columns = 80;
    bool openFails = false;
    int opens = 0, closes = 0;
    std::string title;
    // Called before a line is handed out, with its index.
    std::function<void(size_t)> beforeLine;

    MonitorConsole record();
};
