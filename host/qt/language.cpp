// Choosing and applying the desktop's language; see language.h.
#include "host/qt/language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QRegularExpression>
#include <QTranslator>

#include <algorithm>
#include <memory>
#include <vector>

#include "host/qt/translations/swedish_qm.h"

uint32_t LanguageSetting = LanguageSystem;

namespace {

// Every message the desktop shows, as the program writes it in English, with
// %1, %2 ... where a name, a number or a cause stands. Causes are messages
// of their own. The translations are in translations/orvane_sv.ts.
const char* const Patterns[] = {
    // Loading, saving, the deck and the drives.
    QT_TRANSLATE_NOOP("Message", "Loaded %1."),
    QT_TRANSLATE_NOOP("Message", "Cannot load %1: %2."),
    QT_TRANSLATE_NOOP("Message", "Cannot write %1: %2."),
    QT_TRANSLATE_NOOP("Message", "Cannot open %1: %2."),
    QT_TRANSLATE_NOOP("Message", "Cannot save %1: %2."),
    QT_TRANSLATE_NOOP("Message", "Cannot save %1: only .bac (a program), .bas (its text) and "
                                 ".wav (a tape recording) can be saved. Nothing was written."),
    QT_TRANSLATE_NOOP("Message", "Cannot save %1 while the deck records to %2; eject it first."),
    QT_TRANSLATE_NOOP("Message", "File saved: %1."),
    QT_TRANSLATE_NOOP("Message", "Saved %1."),
    QT_TRANSLATE_NOOP("Message", "State saved to %1."),
    QT_TRANSLATE_NOOP("Message", "State loaded from %1."),
    QT_TRANSLATE_NOOP("Message", "State loaded from %1. %2"),
    QT_TRANSLATE_NOOP("Message", "Tape in the deck: %1 (%2). LOAD CAS: reads it."),
    QT_TRANSLATE_NOOP("Message", "%1 is in the deck to play. Eject it before recording."),
    QT_TRANSLATE_NOOP("Message",
                      "Recording to %1: eject it (ending the recording) before inserting a tape."),
    QT_TRANSLATE_NOOP("Message", "Recording to %1 finished; recording to %2."),
    QT_TRANSLATE_NOOP("Message", "Recording to %1: SAVE CAS: writes onto it."),
    QT_TRANSLATE_NOOP("Message", "Tape rewound: %1."),
    QT_TRANSLATE_NOOP("Message", "A recording is not rewound; eject it to finish it."),
    QT_TRANSLATE_NOOP("Message", "No tape in the deck."),
    QT_TRANSLATE_NOOP("Message", "Tape recording stopped: %1."),
    QT_TRANSLATE_NOOP("Message", "Recording finished: %1."),
    QT_TRANSLATE_NOOP("Message", "Recording finished: %1, %2"),
    QT_TRANSLATE_NOOP("Message", "Tape ejected: %1."),
    QT_TRANSLATE_NOOP("Message",
                      "Cannot record the sound to %1: it is the tape in the cassette deck."),
    QT_TRANSLATE_NOOP("Message", "Cannot record the sound to %1: %2."),
    QT_TRANSLATE_NOOP("Message", "Recording the sound to %1."),
    QT_TRANSLATE_NOOP("Message", "Sound recording stopped: %1."),
    QT_TRANSLATE_NOOP("Message", "Sound recording finished: %1."),
    QT_TRANSLATE_NOOP("Message", "Sound recording %1 kB so far, press Alt+U to stop..."),
    QT_TRANSLATE_NOOP("Message", "%1 attached to DR%2."),
    QT_TRANSLATE_NOOP("Message", "Drive DR%1 - %2: %3."),
    QT_TRANSLATE_NOOP("Message", "Drive DR%1 - %2"),
    QT_TRANSLATE_NOOP("Message", "Disk: %1 side(s), %2 tracks, %3 sectors, %4 kB."),
    QT_TRANSLATE_NOOP("Message", "Fast tape: full speed while the tape moves, sound muted."),
    QT_TRANSLATE_NOOP("Message", "Fast tape: the tape stopped, back to %1."),
    QT_TRANSLATE_NOOP("Message", "Screenshot saved to %1."),
    QT_TRANSLATE_NOOP("Message", "Cannot write the screenshot %1: %2."),
    QT_TRANSLATE_NOOP("Message", "Cannot create the folder %1 for screenshots: %2."),
    QT_TRANSLATE_NOOP("Message", "Cannot create the folder %1 for screenshots."),
    QT_TRANSLATE_NOOP("Message", "Memory dump to %1/dump.txt and dump.bin"),
    QT_TRANSLATE_NOOP("Message", "Cannot write the memory dump in %1."),
    QT_TRANSLATE_NOOP("Message", "Cannot write the memory dump (dump.txt, dump.bin) in %1: %2."),
    QT_TRANSLATE_NOOP("Message", "Printer output lost: %1."),
    // The machine, the ROMs and the window.
    QT_TRANSLATE_NOOP("Message", "No ZaVUR80BASIC.ROM found; the old BASIC slot runs instead."),
    QT_TRANSLATE_NOOP("Message", "No %1 image is installed; the machine runs the Open DOS."),
    QT_TRANSLATE_NOOP("Message", "Inactive."),
    QT_TRANSLATE_NOOP("Message", "Rewinding: the last seconds play backwards."),
    QT_TRANSLATE_NOOP("Message", "Rewound as far as the history reaches."),
    QT_TRANSLATE_NOOP("Message", "Nothing to rewind yet."),
    QT_TRANSLATE_NOOP("Message", "%1 set."),
    QT_TRANSLATE_NOOP("Message", "Slot %1 is empty; Shift+F%2 saves the machine into it."),
    QT_TRANSLATE_NOOP("Message", "The ABC80 has no key for \"%1\"; the key was dropped."),
    QT_TRANSLATE_NOOP("Message", "The sound driver \"%1\" could not be opened; the machine "
                                 "runs without sound."),
    QT_TRANSLATE_NOOP("Message", "Unable to create rendering context."),
    QT_TRANSLATE_NOOP("Message", "Unable to activate rendering context."),
    QT_TRANSLATE_NOOP("Message", "Creating the OpenGL painter FAILED (%1)"),
    QT_TRANSLATE_NOOP("Message", "The language is English."),
    QT_TRANSLATE_NOOP("Message", "The language follows the system."),
    QT_TRANSLATE_NOOP("Message", "Luxor ABC80 emulator\nfor Linux (Qt 6)\nversion %1\n\n"),
    // Dialog titles and file filters.
    QT_TRANSLATE_NOOP("Message", "Insert tape to play..."),
    QT_TRANSLATE_NOOP("Message", "Record tape to WAV..."),
    QT_TRANSLATE_NOOP("Message", "Attach disk image to DR%1..."),
    QT_TRANSLATE_NOOP("Message", "Save screenshot as BMP..."),
    QT_TRANSLATE_NOOP("Message", "Save sound to WAV..."),
    QT_TRANSLATE_NOOP("Message", "Save state as..."),
    QT_TRANSLATE_NOOP("Message", "Load state..."),
    QT_TRANSLATE_NOOP("Message", "All supported files (%1)"),
    QT_TRANSLATE_NOOP("Message", "BAC files (%1)"),
    QT_TRANSLATE_NOOP("Message", "BAS files (%1)"),
    QT_TRANSLATE_NOOP("Message", "ABC80 tape files (%1)"),
    QT_TRANSLATE_NOOP("Message", "WAV files (%1)"),
    QT_TRANSLATE_NOOP("Message", "All files (%1)"),
    QT_TRANSLATE_NOOP("Message", "All (%1)"),
    QT_TRANSLATE_NOOP("Message", "Disk images (%1)"),
    QT_TRANSLATE_NOOP("Message", "Bitmap files (%1)"),
    QT_TRANSLATE_NOOP("Message", "PNG files (%1)"),
    QT_TRANSLATE_NOOP("Message", "Orvane save states (%1)"),
    QT_TRANSLATE_NOOP("Message", "Error"),
    QT_TRANSLATE_NOOP("Message", "Error attaching disk image!"),
    QT_TRANSLATE_NOOP("Message", "About Orvane"),
    // Disks, the deck, pasting and the sound drivers.
    QT_TRANSLATE_NOOP("Message", "Disk write failed on DR%1 (%2): %3."),
    QT_TRANSLATE_NOOP("Message", "Disk write failed!"),
    QT_TRANSLATE_NOOP("Message", "Error creating disk image!"),
    QT_TRANSLATE_NOOP("Message", "New disk image %1 on DR%2."),
    QT_TRANSLATE_NOOP("Message",
                      "%1 attached to DR%2, write-protected: the file cannot be written."),
    QT_TRANSLATE_NOOP("Message", "DR%1 write-protected."),
    QT_TRANSLATE_NOOP("Message", "DR%1 writable."),
    QT_TRANSLATE_NOOP("Message", "DR%1 stays write-protected: its image file cannot be written."),
    QT_TRANSLATE_NOOP("Message", "DR%1 was empty."),
    QT_TRANSLATE_NOOP("Message", "%1 is empty."),
    QT_TRANSLATE_NOOP("Message",
                      "Disk: %1 side(s), %2 tracks, %3 sectors, %4 kB, write-protected (%5)."),
    QT_TRANSLATE_NOOP("Message",
                      "The sound driver \"%1\" could not be opened; sound goes to \"%2\" instead."),
    QT_TRANSLATE_NOOP(
        "Message",
        "The cassette motor runs with no tape in the deck: SAVE CAS: needs a recording started "
        "first (Record tape, --tape-out), LOAD CAS: a tape inserted (Insert tape, --tape-in)."),
    QT_TRANSLATE_NOOP("Message", "Recording finished: %1, %2."),
    QT_TRANSLATE_NOOP("Message", "Nothing was recorded on %1; the file was left as it was."),
    QT_TRANSLATE_NOOP("Message", "Nothing was recorded on %1."),
    QT_TRANSLATE_NOOP("Message", "Loaded %1. Warning: %2."),
    QT_TRANSLATE_NOOP("Message", "the file is read-only"),
    QT_TRANSLATE_NOOP("Message", "not a WAV file (no RIFF WAVE header)"),
    QT_TRANSLATE_NOOP("Message", "not a WAV file (no fmt chunk)"),
    QT_TRANSLATE_NOOP("Message",
                      "WAV format %1 with %2-bit samples is not read (PCM and floating point are)"),
    QT_TRANSLATE_NOOP("Message", "no channels or no bits per sample in its header"),
    QT_TRANSLATE_NOOP("Message", "no samples after the header"),
    QT_TRANSLATE_NOOP("Message", "the image holds %1 programs; the first (%2) was loaded"),
    QT_TRANSLATE_NOOP("Message", "the image holds %1 programs; the first was loaded"),
    QT_TRANSLATE_NOOP("Message",
                      "The ABC80 cannot show \"%1\"; %2 pasted characters were dropped."),
    QT_TRANSLATE_NOOP("Message", "The ABC80 cannot show \"%1\"; %2 pasted character was dropped."),
    QT_TRANSLATE_NOOP("Message", "No %1 image is installed; the machine runs the Open DOS."),
    // Causes, as they stand after a colon.
    QT_TRANSLATE_NOOP("Message", "no space left on device"),
    QT_TRANSLATE_NOOP("Message", "disk quota exceeded"),
    QT_TRANSLATE_NOOP("Message", "permission denied"),
    QT_TRANSLATE_NOOP("Message", "is a folder"),
    QT_TRANSLATE_NOOP("Message", "cannot be read"),
    QT_TRANSLATE_NOOP("Message", "no such file or folder"),
    QT_TRANSLATE_NOOP("Message", "a part of the path is not a folder"),
    QT_TRANSLATE_NOOP("Message", "file too large"),
    QT_TRANSLATE_NOOP("Message", "read-only file system"),
    QT_TRANSLATE_NOOP("Message", "file name too long"),
    QT_TRANSLATE_NOOP("Message", "input/output error"),
    QT_TRANSLATE_NOOP("Message", "too many open files"),
    QT_TRANSLATE_NOOP("Message", "read error"),
    QT_TRANSLATE_NOOP("Message", "empty file"),
    QT_TRANSLATE_NOOP("Message", "no file named"),
    QT_TRANSLATE_NOOP("Message", "no such drive"),
    QT_TRANSLATE_NOOP("Message", "sample rate 0"),
    QT_TRANSLATE_NOOP("Message", "no tape blocks found"),
    QT_TRANSLATE_NOOP("Message", "no program lines found"),
    QT_TRANSLATE_NOOP("Message", "no program in memory"),
    QT_TRANSLATE_NOOP("Message", "truncated after %1 of %2 bytes"),
    QT_TRANSLATE_NOOP("Message", "not an .atp, .bac, .bas or .wav file"),
    QT_TRANSLATE_NOOP("Message", "not a BAC file (no 82h marker)"),
    QT_TRANSLATE_NOOP("Message", "not a text file (it holds NUL bytes)"),
    QT_TRANSLATE_NOOP("Message", "text too long to type (more than 65,536 bytes)"),
    QT_TRANSLATE_NOOP("Message", "another text is still being typed"),
    QT_TRANSLATE_NOOP("Message", "it is the tape being played"),
    QT_TRANSLATE_NOOP("Message",
                      "the deck is recording to %1; eject it (ending the recording) first"),
    QT_TRANSLATE_NOOP("Message", "size of %1 bytes is no disk format"),
    QT_TRANSLATE_NOOP("Message", "cannot make a temporary folder"),
    QT_TRANSLATE_NOOP("Message", "the machine is stopped in the monitor"),
    QT_TRANSLATE_NOOP("Message", "the machine did not take the text"),
    QT_TRANSLATE_NOOP("Message", "the machine did not come back to its prompt"),
    QT_TRANSLATE_NOOP("Message", "the machine could not be put back as it was: %1"),
};

struct CompiledPattern {
    QString english;
    QRegularExpression match;
    int literalLength; // longer literal text is tried first
};

const std::vector<CompiledPattern>& compiledPatterns() {
    static const std::vector<CompiledPattern> compiled = [] {
        std::vector<CompiledPattern> list;
        const QRegularExpression placeholder("%[1-9]");
        for (const char* text : Patterns) {
            const QString english = QString::fromUtf8(text);
            QString expression = "^";
            int literal = 0, from = 0;
            for (auto it = placeholder.globalMatch(english); it.hasNext();) {
                const QRegularExpressionMatch found = it.next();
                expression +=
                    QRegularExpression::escape(english.mid(from, found.capturedStart() - from));
                literal += found.capturedStart() - from;
                expression += "(.+?)";
                from = found.capturedEnd();
            }
            expression += QRegularExpression::escape(english.mid(from)) + "$";
            literal += english.size() - from;
            list.push_back(
                {english,
                 QRegularExpression(expression, QRegularExpression::DotMatchesEverythingOption),
                 literal});
        }
        std::stable_sort(list.begin(), list.end(), [](const auto& a, const auto& b) {
            return a.literalLength > b.literalLength;
        });
        return list;
    }();
    return compiled;
}

std::unique_ptr<QTranslator> ownTranslator, qtTranslator;
bool swedish = false;

QString translated(const char* context, const QString& english) {
    const QByteArray source = english.toUtf8();
    return QCoreApplication::translate(context, source.constData());
}

QString messageText(const QString& english, int depth, bool* known) {
    for (const CompiledPattern& pattern : compiledPatterns()) {
        const QRegularExpressionMatch found = pattern.match.match(english);
        if (!found.hasMatch()) continue;
        if (known) *known = true;
        QString result = translated("Message", pattern.english);
        for (int i = 1; i <= found.lastCapturedIndex(); i++) {
            const QString part = found.captured(i);
            const QString shown = depth < 2 ? messageText(part, depth + 1, nullptr) : part;
            result = result.arg(shown);
        }
        return result;
    }
    return english;
}

} // namespace

bool ApplyLanguage(uint32_t choice) {
    if (ownTranslator) QCoreApplication::removeTranslator(ownTranslator.get());
    if (qtTranslator) QCoreApplication::removeTranslator(qtTranslator.get());
    ownTranslator.reset();
    qtTranslator.reset();
    swedish = choice == LanguageSwedish ||
              (choice == LanguageSystem && QLocale::system().language() == QLocale::Swedish);
    if (!swedish) return false;
    ownTranslator = std::make_unique<QTranslator>();
    if (!ownTranslator->load(OrvaneSwedishQm, static_cast<int>(OrvaneSwedishQmSize))) {
        ownTranslator.reset();
        swedish = false;
        return false;
    }
    QCoreApplication::installTranslator(ownTranslator.get());
    // Qt's own texts (the file dialog, the buttons) where Qt's translations
    // are installed.
    qtTranslator = std::make_unique<QTranslator>();
    if (qtTranslator->load(QLocale(QLocale::Swedish), "qt", "_",
                           QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qtTranslator.get());
    else
        qtTranslator.reset();
    return true;
}

bool SwedishInUse() { return swedish; }

QString MenuText(const char* english) {
    const QString text = QString::fromUtf8(english);
    const int tab = text.indexOf('\t');
    if (tab < 0) return translated("Menu", text);
    return translated("Menu", text.left(tab)) + text.mid(tab);
}

QString UiText(const char* context, const char* english) {
    return QCoreApplication::translate(context, english);
}

QString MessageText(const QString& english) {
    if (!swedish || english.isEmpty()) return english;
    return messageText(english, 0, nullptr);
}

bool MessageKnown(const QString& english) {
    bool known = false;
    messageText(english, 0, &known);
    return known;
}

const QStringList& MessagePatterns() {
    static const QStringList list = [] {
        QStringList patterns;
        for (const char* text : Patterns)
            patterns.append(QString::fromUtf8(text));
        return patterns;
    }();
    return list;
}
