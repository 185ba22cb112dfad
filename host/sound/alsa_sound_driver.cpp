// ALSA output: a non-blocking PCM whose buffer holds half a second. Playback
// starts as soon as one block is in; Position comes from the PCM's delay (the
// frames written but not yet heard).
#include <alsa/asoundlib.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "host/sound/drivers.h"

namespace {

snd_pcm_t* pcm = nullptr;
bool canPause = false;
uint32_t ringEnd = 0;
bool ringKnown = false;

const char* deviceName() {
    const char* name = std::getenv("ORVANE_ALSA_DEVICE");
    return name && *name ? name : "default";
}

void alsaClose() {
    if (pcm) snd_pcm_close(pcm);
    pcm = nullptr;
    ringKnown = false;
}

int fail(const char* what, int err) {
    std::fprintf(stderr, "ALSA %s on \"%s\" failed: %s\n", what, deviceName(), snd_strerror(err));
    alsaClose();
    return 0;
}

int alsaOpen(int sampleRate) {
    alsaClose();
    int err = snd_pcm_open(&pcm, deviceName(), SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK);
    if (err < 0) {
        pcm = nullptr;
        return fail("open", err);
    }

    snd_pcm_hw_params_t* hw;
    snd_pcm_hw_params_alloca(&hw);
    unsigned rate = static_cast<unsigned>(sampleRate);
    snd_pcm_uframes_t period = SoundBlockSamples;
    snd_pcm_uframes_t buffer = static_cast<snd_pcm_uframes_t>(sampleRate) / 2;
    if ((err = snd_pcm_hw_params_any(pcm, hw)) < 0 ||
        (err = snd_pcm_hw_params_set_access(pcm, hw, SND_PCM_ACCESS_RW_INTERLEAVED)) < 0 ||
        (err = snd_pcm_hw_params_set_format(pcm, hw, SND_PCM_FORMAT_S16_LE)) < 0 ||
        (err = snd_pcm_hw_params_set_channels(pcm, hw, 1)) < 0 ||
        (err = snd_pcm_hw_params_set_rate_resample(pcm, hw, 1)) < 0 ||
        (err = snd_pcm_hw_params_set_rate_near(pcm, hw, &rate, nullptr)) < 0 ||
        (err = snd_pcm_hw_params_set_period_size_near(pcm, hw, &period, nullptr)) < 0 ||
        (err = snd_pcm_hw_params_set_buffer_size_near(pcm, hw, &buffer)) < 0 ||
        (err = snd_pcm_hw_params(pcm, hw)) < 0)
        return fail("hardware setup", err);
    if (rate != static_cast<unsigned>(sampleRate)) return fail("rate setup", -EINVAL);
    canPause = snd_pcm_hw_params_can_pause(hw);

    snd_pcm_sw_params_t* sw;
    snd_pcm_sw_params_alloca(&sw);
    if ((err = snd_pcm_sw_params_current(pcm, sw)) < 0 ||
        (err = snd_pcm_sw_params_set_start_threshold(pcm, sw, SoundBlockSamples)) < 0 ||
        (err = snd_pcm_sw_params(pcm, sw)) < 0)
        return fail("software setup", err);
    if ((err = snd_pcm_prepare(pcm)) < 0) return fail("prepare", err);
    ringEnd = 0;
    ringKnown = false;
    return 1;
}

void alsaWrite(const int16_t* block, uint32_t ringPosition, uint32_t byteCount) {
    if (!pcm) return;
    const snd_pcm_uframes_t frames = byteCount / 2;
    snd_pcm_sframes_t avail = snd_pcm_avail_update(pcm);
    if (avail < 0) {
        // An underrun: the device has played everything and stopped.
        if (snd_pcm_recover(pcm, static_cast<int>(avail), 1) < 0) return;
        avail = snd_pcm_avail_update(pcm);
    }
    if (avail < static_cast<snd_pcm_sframes_t>(frames)) return; // full: drop the block
    const snd_pcm_sframes_t n = snd_pcm_writei(pcm, block, frames);
    if (n <= 0) return;
    ringEnd = (ringPosition + static_cast<uint32_t>(n) * 2) % SoundRingBytes;
    ringKnown = true;
}

void alsaReset() {
    if (!pcm) return;
    snd_pcm_drop(pcm);
    snd_pcm_prepare(pcm);
    ringKnown = false;
}

void alsaPause() {
    if (!pcm || snd_pcm_state(pcm) != SND_PCM_STATE_RUNNING) return;
    if (canPause && snd_pcm_pause(pcm, 1) == 0) return;
    alsaReset(); // a device that cannot pause loses its queue instead
}

void alsaResume() {
    if (pcm && snd_pcm_state(pcm) == SND_PCM_STATE_PAUSED) snd_pcm_pause(pcm, 0);
}

uint32_t alsaPosition() {
    if (!pcm || !ringKnown) return SoundPositionUnknown;
    snd_pcm_sframes_t delay = 0;
    const int err = snd_pcm_delay(pcm, &delay);
    if (err == -EPIPE) {
        snd_pcm_recover(pcm, err, 1); // ran dry: nothing is queued
        delay = 0;
    } else if (err < 0) {
        return SoundPositionUnknown;
    }
    if (delay < 0) delay = 0;
    const uint32_t queued = static_cast<uint32_t>(delay * 2) % SoundRingBytes;
    return (ringEnd + SoundRingBytes - queued) % SoundRingBytes;
}

} // namespace

const SoundDriver AlsaSoundDriver{"ALSA",    alsaOpen,  alsaClose,  alsaWrite,
                                  alsaReset, alsaPause, alsaResume, alsaPosition};
