// Set on the page before its own script runs: records what the show drew
// and what its sound node played, through the hooks the browser build
// offers (Module.onFrame, Module.onAudioNode), without touching the show,
// and every uncaught error. With veskTest.stall set, holds the main thread
// for 200 ms every 5 s of the show.
window.veskTest = {
  targets: [], stills: [], frames: [], audio: [], errors: [], firstFrame: null, stall: false,
  // The 8-bit RGBA of a 512 x 512 canvas or image.
  pixels(source) {
    const context = new OffscreenCanvas(512, 512).getContext('2d');
    context.drawImage(source, 0, 0);
    return context.getImageData(0, 0, 512, 512).data;
  },
  // Mean absolute difference per channel and the share of pixels off by
  // more than 48 in some channel, against the still at `url`.
  async compare(index, url) {
    const image = Object.assign(new Image(), {src: url});
    await image.decode();
    const want = this.pixels(image), got = this.stills[index].pixels;
    let sum = 0, far = 0;
    for (let i = 0; i < want.length; i += 4) {
      const d = [0, 1, 2].map((c) => Math.abs(want[i + c] - got[i + c]));
      sum += d[0] + d[1] + d[2], far += Math.max(...d) > 48;
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
      if (t.stall) setTimeout(() => setInterval(() => { for (const end = performance.now() + 200; performance.now() < end;); }, 5000), 2500);
    }
    t.frames.push([performance.now(), time]);
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
        // Left and right of each of the 128 frames in turn.
        for (let i = 0; i < 256; ++i) this.block[this.at++] = input.length ? Math.round(input[i & 1][i >> 1] * 32768) : 0;
        // Copied by the message.
        if (this.at === this.block.length) this.port.postMessage(this.block), this.at = 0;
        return true;
      }
    });
    await context.audioWorklet.addModule(URL.createObjectURL(new Blob(['(' + tap + ')()'], {type: 'text/javascript'})));
    const recorder = new AudioWorkletNode(context, 'vesk-tap', {outputChannelCount: [2], channelCount: 2, channelCountMode: 'explicit'});
    recorder.port.onmessage = (e) => veskTest.audio.push(e.data);
    node.connect(recorder);
    recorder.connect(context.destination);
  },
};
