// The machine's sound through an AudioWorklet. Browsers allow sound only
// after a user gesture, so the page calls start() from its first one. After
// each batch of frames pump() sends the mixer's new blocks to the worklet and
// tells the mixer how far the worklet has played, which closes the rate
// control loop as a sound device's play position does on the desktop.
const RingBytes = 96000;
const BlockSamples = 960;
const RingBlocks = 50;
const RingSamples = RingBytes / 2;

export function createSound(machine) {
  let context = null;
  let node = null;
  let gain = null;
  let seenBlocks = 0;
  let sent = 0; // samples sent to the worklet
  let muted = false;
  const stats = { received: 0, played: 0, frame: 0, peak: 0, underruns: 0 };

  async function start() {
    if (context) return;
    const AudioContextClass = window.AudioContext || window.webkitAudioContext;
    if (!AudioContextClass) return;
    context = new AudioContextClass({ sampleRate: 48000, latencyHint: "interactive" });
    await context.audioWorklet.addModule("sound_worklet.js");
    node = new AudioWorkletNode(context, "orvane-sound", { numberOfInputs: 0, outputChannelCount: [1] });
    node.port.onmessage = (event) => Object.assign(stats, event.data);
    gain = context.createGain();
    gain.gain.value = muted ? 0 : 1;
    node.connect(gain).connect(context.destination);
    machine.soundStart();
    seenBlocks = machine.soundBlocks();
    if (context.state !== "running") await context.resume();
  }

  // The new blocks go to the worklet as one chunk of 16-bit samples a call.
  function pump() {
    if (!node) return;
    const blocks = machine.soundBlocks();
    let fresh = (blocks - seenBlocks) >>> 0;
    seenBlocks = blocks;
    if (fresh > RingBlocks - 2) fresh = RingBlocks - 2; // older ones are overwritten
    const end = machine.soundWritten() / 2;
    if (fresh > 0) {
      const ring = machine.soundRing();
      const count = fresh * BlockSamples;
      const at = (end - count + RingSamples) % RingSamples;
      const chunk = new Int16Array(count);
      const first = Math.min(count, RingSamples - at);
      chunk.set(ring.subarray(at, at + first));
      if (first < count) chunk.set(ring.subarray(0, count - first), first);
      node.port.postMessage(chunk, [chunk.buffer]);
      sent += count;
    }
    // The worklet's play position in the ring: behind the write position by
    // what is still queued, the worklet's last report moved on by the audio
    // clock since. Unknown (no rate control) until it first reports.
    if (stats.received === 0) return;
    const since = Math.max(0, Math.round(context.currentTime * context.sampleRate) - stats.frame);
    const played = Math.min(stats.played + since, stats.received);
    const queued = Math.max(0, Math.min(sent - played, RingSamples / 2 - 1));
    machine.soundPlayed((machine.soundWritten() - queued * 2 + RingBytes) % RingBytes);
  }

  return {
    start,
    pump,
    get started() { return node !== null; },
    get muted() { return muted; },
    set muted(on) {
      muted = on;
      if (gain) gain.gain.value = on ? 0 : 1;
    },
    pause(paused) {
      machine.soundPause(paused);
      if (!context) return;
      if (paused) context.suspend();
      else context.resume();
    },
    stats: () => ({ ...stats, sent, state: context ? context.state : "none" }),
  };
}
