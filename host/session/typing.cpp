// The queue of texts waiting for the machine's keyboard.
#include "host/session/typing.h"

#include "machine/keyboard.h"

#include <deque>

namespace {
std::deque<std::string> waiting;
}

void TypeAfterCurrent(const std::string& text) {
    if (text.empty()) return;
    waiting.push_back(text);
    TypeNextQueued();
}

void TypeNextQueued() {
    if (waiting.empty() || typingInProgress()) return;
    typeText(waiting.front().c_str());
    waiting.pop_front();
}

void ForgetQueuedTyping() { waiting.clear(); }

bool TypingPending() { return typingInProgress() || !waiting.empty(); }
