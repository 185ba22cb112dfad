// The registered sound sources (AddSoundSource and RemoveSoundSource are in
// mixer.h). Kept apart from the mixer so that a source can be built and driven
// without the stream behind it.
#pragma once

#include "sound/mixer.h"

// The first source; the others follow through next.
SoundSource* SoundSources();
