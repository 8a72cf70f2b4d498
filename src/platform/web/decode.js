// The browser's decoders for sounds and pictures, shared by the page and
// the show. The page hands each file to Module.decodeAhead while it waits
// for Play; the show's decode calls (browser_stream.cpp, image.cpp) then
// find the result by the bytes themselves, so other bytes under the same
// name are decoded anew, with the same result as ahead.

// 16-bit interleaved PCM at 44100 Hz, resampled by an offline context of
// that rate: {pcm, frames, channels}, or null. `bytes` is copied at once.
Module['decodeSound'] = async (bytes) => {
  const copy = bytes.slice().buffer;
  try {
    const decoder = new OfflineAudioContext(1, 1, 44100);
    const sound = await new Promise((resolve, reject) => decoder.decodeAudioData(copy, resolve, reject));
    const channels = sound.numberOfChannels, frames = sound.length;
    if (channels < 1 || channels > 2 || frames < 1) return null;
    const pcm = new Int16Array(frames * channels);
    for (let c = 0; c < channels; ++c) {
      const side = sound.getChannelData(c);
      for (let i = 0; i < frames; ++i) {
        const v = Math.round(side[i] * 32768);
        pcm[i * channels + c] = v > 32767 ? 32767 : (v < -32768 ? -32768 : v);
      }
    }
    return {pcm: pcm, frames: frames, channels: channels};
  } catch (e) {
    return null;
  }
};

// The file's own 8-bit RGBA, top row first: {pixels, width, height}, or
// null. createImageBitmap, unpremultiplied and with no colour conversion,
// uploaded to a scratch WebGL texture and read back (a 2-D canvas would
// premultiply and lose precision where alpha is low).
Module['decodePicture'] = async (bytes) => {
  try {
    const blob = new Blob([bytes.slice()], {type: 'image/png'});
    const bitmap = await createImageBitmap(blob, {premultiplyAlpha: 'none', colorSpaceConversion: 'none'});
    const width = bitmap.width, height = bitmap.height;
    if (!Module['webPictureGl']) {
      Module['webPictureGl'] = document.createElement('canvas').getContext('webgl', {premultipliedAlpha: false});
    }
    const gl = Module['webPictureGl'];
    const texture = gl.createTexture();
    gl.bindTexture(gl.TEXTURE_2D, texture);
    gl.pixelStorei(gl.UNPACK_PREMULTIPLY_ALPHA_WEBGL, false);
    gl.pixelStorei(gl.UNPACK_COLORSPACE_CONVERSION_WEBGL, gl.NONE);
    gl.pixelStorei(gl.UNPACK_FLIP_Y_WEBGL, false);
    gl.texImage2D(gl.TEXTURE_2D, 0, gl.RGBA, gl.RGBA, gl.UNSIGNED_BYTE, bitmap);
    bitmap.close();
    const framebuffer = gl.createFramebuffer();
    gl.bindFramebuffer(gl.FRAMEBUFFER, framebuffer);
    gl.framebufferTexture2D(gl.FRAMEBUFFER, gl.COLOR_ATTACHMENT0, gl.TEXTURE_2D, texture, 0);
    let pixels = null;
    // Row 0 of the texture is the picture's top row, and readPixels starts
    // at row 0: the rows come out top first.
    if (gl.checkFramebufferStatus(gl.FRAMEBUFFER) === gl.FRAMEBUFFER_COMPLETE) {
      pixels = new Uint8Array(width * height * 4);
      gl.readPixels(0, 0, width, height, gl.RGBA, gl.UNSIGNED_BYTE, pixels);
    }
    gl.bindFramebuffer(gl.FRAMEBUFFER, null);
    gl.deleteFramebuffer(framebuffer);
    gl.deleteTexture(texture);
    return pixels && gl.getError() === gl.NO_ERROR ? {pixels: pixels, width: width, height: height} : null;
  } catch (e) {
    return null;
  }
};

// Decodes ahead: `kind` is 'Sound' or 'Picture'. The promise settles with
// the decode.
Module['decodeAhead'] = (kind, bytes) => {
  const result = Module['decode' + kind](bytes);
  (Module['webAhead'] = Module['webAhead'] || []).push({kind: kind, bytes: bytes, result: result});
  return result;
};

// What was decoded ahead from the same bytes, taken from the list, or a
// decode now.
Module['webDecode'] = (kind, bytes) => {
  const ahead = Module['webAhead'] || [];
  const same = (a) => {
    if (a.kind !== kind || a.bytes.length !== bytes.length) return false;
    for (let i = 0; i < bytes.length; ++i) if (a.bytes[i] !== bytes[i]) return false;
    return true;
  };
  const found = ahead.findIndex(same);
  return found < 0 ? Module['decode' + kind](bytes) : ahead.splice(found, 1)[0].result;
};
