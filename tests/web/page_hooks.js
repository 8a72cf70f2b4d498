// Set on the page before its own script runs: records what the show drew
// and what its sound node played, through the hooks the browser build
// offers (Module.onFrame, Module.onAudioNode), without touching the show,
// and every uncaught error. With veskTest.stall set, holds the main thread
// for 200 ms every 5 s of the show.
window.veskTest = {
  targets: [], stills: [], frames: [], audio: [], errors: [], firstFrame: null, stall: false,
  // performance.now() at which `seconds` into the recording were heard, as
  // the context's last output timestamp has it.
  heardAt(seconds) {
    return this.stamp.performanceTime + (this.tapStart / 44100 + seconds - this.stamp.contextTime) * 1000;
  },
  // The 8-bit RGBA of a 512 x 512 canvas or image.
  pixels(source) {
    const copy = document.createElement('canvas');
    copy.width = copy.height = 512;
    const context = copy.getContext('2d');
    context.drawImage(source, 0, 0);
    return context.getImageData(0, 0, 512, 512).data;
  },
  // Mean absolute difference per channel and the share of pixels off by
  // more than 48 in some channel, against the still at `url`.
  async compare(index, url) {
    const image = new Image();
    image.src = url;
    await image.decode();
    const want = this.pixels(image), got = this.stills[index].pixels;
    let sum = 0, far = 0;
    for (let i = 0; i < want.length; i += 4) {
      const d = [0, 1, 2].map((c) => Math.abs(want[i + c] - got[i + c]));
      sum += d[0] + d[1] + d[2];
      if (Math.max(...d) > 48) ++far;
    }
    return {mean: sum / (512 * 512 * 3), far: far / (512 * 512)};
  },
};
window.addEventListener('error', (e) => veskTest.errors.push(String(e.message)));
// Read once the page's own handlers have seen it (the page drops the
// toolkit's "unwind").
window.addEventListener('unhandledrejection', (e) => setTimeout(() => e.defaultPrevented || veskTest.errors.push(String(e.reason))));
// When the page says the show has ended.
document.addEventListener('DOMContentLoaded', () => new MutationObserver(() => {
  veskTest.endedAt = veskTest.endedAt || performance.now();
}).observe(document.getElementById('overlay'), {childList: true}));
window.Module = {
  onFrame(time, after) {
    const t = veskTest;
    if (t.firstFrame === null) {
      t.firstFrame = performance.now() - Module.playClicked;
      // At 7.5 s, 12.5 s...: between the show's calls of sound, whose frames a
      // stall would delay past their 0.1 s on the timeline.
      const stall = () => { for (const end = performance.now() + 200; performance.now() < end;); };
      if (t.stall) setTimeout(() => setInterval(stall, 5000), 2500);
    }
    t.frames.push([performance.now(), time]);
    if (t.context) t.stamp = t.context.getOutputTimestamp();
    // Only a frame drawn within one millisecond has one exact show time.
    if (t.targets.length && time >= t.targets[0] && time === after) {
      t.targets.shift();
      t.stills.push({time, pixels: t.pixels(Module.canvas)});
    }
  },
  // A worklet after the show's node records, as 16-bit stereo, what the
  // node played, in blocks of 4096 frames; it outputs silence itself.
  async onAudioNode(context, node) {
    const tap = () => registerProcessor('vesk-tap', class extends AudioWorkletProcessor {
      constructor() { super(); this.block = new Int16Array(8192); this.at = 0; }
      process([input]) {
        // First, the context's frame of the recording's first frame.
        if (this.first === undefined) this.port.postMessage(this.first = currentFrame);
        for (let i = 0; i < 128; ++i) {
          for (let side = 0; side < 2; ++side) this.block[this.at++] = input.length ? Math.round(input[side][i] * 32768) : 0;
        }
        // Copied by the message.
        if (this.at === this.block.length) this.port.postMessage(this.block), this.at = 0;
        return true;
      }
    });
    await context.audioWorklet.addModule(URL.createObjectURL(new Blob(['(' + tap + ')()'], {type: 'text/javascript'})));
    const recorder = new AudioWorkletNode(context, 'vesk-tap', {outputChannelCount: [2], channelCount: 2, channelCountMode: 'explicit'});
    recorder.port.onmessage = (e) => (typeof e.data === 'number' ? (veskTest.tapStart = e.data) : veskTest.audio.push(e.data));
    veskTest.context = context;
    node.connect(recorder);
    recorder.connect(context.destination);
  },
};
