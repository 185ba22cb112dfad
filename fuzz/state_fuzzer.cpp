// Save states from untrusted files. The input is loaded twice: as a whole
// file, and as a state body behind a header with the right size and CRC-32,
// so the section decoders see every input. Checked: loading returns; a
// refused state leaves the machine's state bytes as they were; a loaded one
// runs frames.
#include <cstring>
#include <vector>

#include "abc80/save_state.h"
#include "fuzz/fuzz_support.h"
#include "machine/frame.h"
#include "machine/roms.h"
#include "media/tape_deck.h"

namespace {

void loadChecked(const std::vector<uint8_t>& state) {
    std::vector<uint8_t> before, after;
    saveState(before);
    std::string message;
    if (loadState(state, message)) {
        runFramesBlind(2);
        CloseTape();
        return;
    }
    FUZZ_CHECK(!message.empty());
    saveState(after);
    FUZZ_CHECK(before == after);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool once = [] {
        fuzz::enterScratchFolder();
        return true;
    }();
    (void)once;
    fuzz::prepareMachine();
    loadChecked(std::vector<uint8_t>(data, data + size));

    std::vector<uint8_t> sealed = {'O', 'R', 'V', 'S', 'T', 'A', 'T', 'E'};
    auto put32 = [&](uint32_t v) {
        for (int i = 0; i < 4; i++)
            sealed.push_back(static_cast<uint8_t>(v >> (8 * i)));
    };
    put32(SaveStateVersion);
    put32(static_cast<uint32_t>(size));
    put32(crc32(data, size));
    sealed.insert(sealed.end(), data, data + size);
    fuzz::prepareMachine();
    loadChecked(sealed);
    return 0;
}
