// Clipboard text to the machine's character set.
#include "host/qt/paste.h"

std::string ClipboardTextToMachineBytes(const QString& text, DroppedCharacters* dropped) {
    return TextToMachineBytes(text.normalized(QString::NormalizationForm_C).toStdU32String(),
                              dropped);
}
