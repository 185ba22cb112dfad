// Plays the machine's 48 kHz samples (16-bit, in the chunks the page sends)
// in order; reports how many samples it has received and played, and at
// which frame of the audio clock, so the page can tell the mixer where
// playback is between reports. Converting to floating point here keeps that
// work off the page's own thread.
const ReportEvery = 32; // render quanta of 128 samples: about 12 reports a second

class OrvaneSound extends AudioWorkletProcessor {
  constructor() {
    super();
    this.queue = [];
    this.offset = 0;
    this.received = 0;
    this.played = 0;
    this.peak = 0;
    this.underruns = 0;
    this.calls = 0;
    this.port.onmessage = (event) => {
      const chunk = event.data;
      if (chunk === "clear") {
        this.queue = [];
        this.offset = 0;
        return;
      }
      this.queue.push(chunk);
      this.received += chunk.length;
      for (let i = 0; i < chunk.length; i++) {
        const v = Math.abs(chunk[i]) / 32768;
        if (v > this.peak) this.peak = v;
      }
    };
  }

  process(inputs, outputs) {
    const out = outputs[0][0];
    let i = 0;
    while (i < out.length && this.queue.length) {
      const chunk = this.queue[0];
      const n = Math.min(out.length - i, chunk.length - this.offset);
      for (let k = 0; k < n; k++) out[i + k] = chunk[this.offset + k] / 32768;
      i += n;
      this.offset += n;
      this.played += n;
      if (this.offset === chunk.length) {
        this.queue.shift();
        this.offset = 0;
      }
    }
    if (i < out.length) {
      out.fill(0, i);
      if (this.received > 0) this.underruns++;
    }
    for (let c = 1; c < outputs[0].length; c++) outputs[0][c].set(out);
    if (++this.calls % ReportEvery === 0)
      this.port.postMessage({
        received: this.received,
        played: this.played,
        frame: currentFrame + out.length,
        peak: this.peak,
        underruns: this.underruns,
      });
    return true;
  }
}

registerProcessor("orvane-sound", OrvaneSound);
