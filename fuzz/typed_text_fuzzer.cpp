// Typed and pasted text. The input, as raw bytes and (when the desktop's
// clipboard conversion is built in) as UTF-8 clipboard text, is typed into
// the keyboard and read back the way the firmware reads it. Checked: the
// clipboard conversion yields only CR and printable machine codes and never
// more bytes than characters; every typed byte arrives once, in order, with
// the strobe bit set; the typing ends after two reads per byte; a second
// typing is refused while one is under way.
#include <cstring>
#include <string>

#include "fuzz/fuzz_support.h"
#include "machine/keyboard.h"

#ifdef ORVANE_FUZZ_PASTE
#include "host/qt/paste.h"
#endif

namespace {

void typeAndReadBack(const std::string& text) {
    keyboardReset();
    size_t length = std::strlen(text.c_str()); // typing stops at a NUL
    int started = typeText(text.c_str());
    FUZZ_CHECK(started == (length > 0 ? 1 : 0));
    if (!started) return;
    FUZZ_CHECK(typingInProgress());
    FUZZ_CHECK(typeText("X") == 0);
    size_t next = 0;
    for (size_t read = 0; read < 2 * length; read++) {
        FUZZ_CHECK(typingInProgress());
        uint8_t latch = keyboardRead();
        if (read & 1) {
            FUZZ_CHECK(next < length);
            FUZZ_CHECK(latch == (static_cast<uint8_t>(text[next]) | 0x80));
            next++;
        }
    }
    FUZZ_CHECK(next == length);
    FUZZ_CHECK(!typingInProgress());
    // With no key held the strobe drops on the next read.
    keyboardRead();
    FUZZ_CHECK((keyboardRead() & 0x80) == 0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool once = (keyboardInit(), true);
    (void)once;
    std::string raw(reinterpret_cast<const char*>(data), size);
    typeAndReadBack(raw);

#ifdef ORVANE_FUZZ_PASTE
    QString clipboard = QString::fromUtf8(raw.data(), static_cast<qsizetype>(raw.size()));
    std::string bytes = ClipboardTextToMachineBytes(clipboard);
    size_t characters = clipboard.normalized(QString::NormalizationForm_C).toStdU32String().size();
    FUZZ_CHECK(bytes.size() <= characters);
    for (unsigned char b : bytes)
        FUZZ_CHECK(b == '\r' || (b >= 0x20 && b <= 0x7E));
    typeAndReadBack(bytes);
#endif
    return 0;
}
