// Plays the machine's 48 kHz blocks in order; reports how many samples it has
// received and played so the page can tell the mixer where playback is.
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
      const block = event.data;
      if (block === "clear") {
        this.queue = [];
        this.offset = 0;
        return;
      }
      this.queue.push(block);
      this.received += block.length;
      for (let i = 0; i < block.length; i++) {
        const v = Math.abs(block[i]);
        if (v > this.peak) this.peak = v;
      }
    };
  }

  process(inputs, outputs) {
    const out = outputs[0][0];
    let i = 0;
    while (i < out.length && this.queue.length) {
      const block = this.queue[0];
      const n = Math.min(out.length - i, block.length - this.offset);
      out.set(block.subarray(this.offset, this.offset + n), i);
      i += n;
      this.offset += n;
      this.played += n;
      if (this.offset === block.length) {
        this.queue.shift();
        this.offset = 0;
      }
    }
    if (i < out.length) {
      out.fill(0, i);
      if (this.received > 0) this.underruns++;
    }
    for (let c = 1; c < outputs[0].length; c++) outputs[0][c].set(out);
    if (++this.calls % 8 === 0)
      this.port.postMessage({ received: this.received, played: this.played, peak: this.peak, underruns: this.underruns });
    return true;
  }
}

registerProcessor("orvane-sound", OrvaneSound);
