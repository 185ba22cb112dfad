// Clipboard text to the bytes the machine types (host/text/typed_text.h
// describes the conversion); the desktop composes the clipboard's text first.
#pragma once

#include <QString>

#include <string>

#include "host/text/typed_text.h"

// A whole clipboard text as the bytes for typeText.
std::string ClipboardTextToMachineBytes(const QString& text, DroppedCharacters* dropped = nullptr);
