// Texts waiting to be typed, one after another: a pasted program, then the
// RUN an autostart asks for, say. The machine's keyboard types one text at a
// time; the queue hands it the next once the one before is done.
#pragma once

#include <string>

// Types text now, or once the texts ahead of it have been typed.
void TypeAfterCurrent(const std::string& text);
// Hands the next waiting text to the keyboard when it is free; every front
// end calls it after each frame.
void TypeNextQueued();
// Drops the waiting texts (the text being typed goes on).
void ForgetQueuedTyping();
// True while a text is being typed or waits to be.
bool TypingPending();
