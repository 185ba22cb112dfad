// The screen as host text: the 24 text rows of the current video memory as
// UTF-8 lines, for the headless runner's output, the desktop's copy command
// and the browser page.
#pragma once

#include <string>

// The 24 text rows as UTF-8 lines, in screen order, each ending with '\n'.
std::string ScreenText();

// A Windows-1252 text (as the core's status texts are) as UTF-8.
std::string Windows1252ToUtf8(const char* text);
