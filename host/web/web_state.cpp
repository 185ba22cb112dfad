// Save states for the page: the running machine's state as bytes for
// IndexedDB or a download, and restored from them.
#include <emscripten/emscripten.h>

#include <cstdint>
#include <span>
#include <string>

#include "abc80/save_state.h"
#include "host/session/typing.h"
#include "host/web/web_machine.h"

namespace {
std::string stateMessage; // what the last load said
} // namespace

extern "C" {

// The running machine's state in the output buffer; its size.
EMSCRIPTEN_KEEPALIVE int orvane_save_state() {
    saveState(WebOutput());
    return static_cast<int>(WebOutput().size());
}

// Restores a state: 1 when loaded (orvane_state_message may still name what
// could not be restored as it was, such as a tape file this page no longer
// has), 0 when refused, with the reason there and the machine untouched.
EMSCRIPTEN_KEEPALIVE int orvane_load_state(const uint8_t* bytes, int size) {
    stateMessage.clear();
    if (size < 0) return 0;
    const bool loaded =
        loadState(std::span<const uint8_t>(bytes, static_cast<size_t>(size)), stateMessage);
    stateMessage = WebUserWords(stateMessage);
    if (!loaded) return 0;
    ForgetQueuedTyping(); // texts queued by the page belong to the machine that was replaced
    return 1;
}

EMSCRIPTEN_KEEPALIVE const char* orvane_state_message() { return stateMessage.c_str(); }

} // extern "C"
