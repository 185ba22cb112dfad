// The desktop's language: English as written in the sources, or Swedish from
// translations compiled at build time (host/qt/translations). The setting
// "Language" chooses: 0 follows the system's locale (Swedish under sv_*),
// 1 English, 2 Swedish.
//
// The core, the session and the headless runner speak English only; the
// desktop translates what it shows at the places it shows it: menu texts,
// dialog titles and filters, message boxes and the status bar. Messages made
// from parts (a file name, a cause) are translated by their English pattern
// ("Cannot load %1: %2."), the parts in turn where they are messages too.
#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>

enum : uint32_t { LanguageSystem = 0, LanguageEnglish = 1, LanguageSwedish = 2 };

extern uint32_t LanguageSetting; // "Language"

// Installs the translators for the choice (none for English); true when
// Swedish is in use afterwards.
bool ApplyLanguage(uint32_t choice);
bool SwedishInUse();

// A menu text ("&File", "Save slot &1\tShift+F5"): the part before the tab
// is translated, the key shown after it stays.
QString MenuText(const char* english);
// A fixed text of a dialog, a table or a box, in its context ("Dialog",
// "Keyboard", "Box").
QString UiText(const char* context, const char* english);
// A message in the words the program writes it, translated by its pattern;
// unknown messages come back as they are.
QString MessageText(const QString& english);
// True when the message matches a known pattern (for the tests).
bool MessageKnown(const QString& english);

// The English patterns of every message and cause the desktop translates.
const QStringList& MessagePatterns();
