#!/usr/bin/env bash
# Writes the fuzzers' seed corpus into tests/fuzz/corpus/: tiny PNG images
# of every colour type and depth the decoder handles, and short WAV and MP3
# sounds of the kinds the show accepts and refuses, all made here by ffmpeg
# from its own test sources. The files are committed; run this again only to
# change them.
set -euo pipefail
cd "$(dirname "$0")"
rm -rf corpus
mkdir -p corpus/png_decode corpus/sound_stream
ff() { ffmpeg -hide_banner -loglevel error -y "$@"; }

# Pictures: 8 x 6 (not square, so that rows and columns differ).
pattern="testsrc2=size=8x6:rate=1"
for format in rgba rgb24 gray ya8 pal8 rgb48be rgba64be gray16be monob; do
    ff -f lavfi -i "$pattern" -frames:v 1 -pix_fmt $format "corpus/png_decode/$format.png"
done
ff -f lavfi -i "color=red:s=2x2,format=rgba,colorchannelmixer=aa=0.5,crop=1:1:0:0" -frames:v 1 corpus/png_decode/one-pixel.png

# Sounds: a tenth of a second of a tone.
tone="sine=frequency=440:sample_rate=44100:duration=0.1"
ff -f lavfi -i "$tone" -ac 1 -c:a pcm_s16le corpus/sound_stream/mono16.wav
ff -f lavfi -i "$tone" -ac 2 -c:a pcm_s16le corpus/sound_stream/stereo16.wav
ff -f lavfi -i "$tone" -ac 1 -c:a pcm_u8 corpus/sound_stream/mono8.wav
ff -f lavfi -i "$tone" -ac 2 -c:a pcm_f32le corpus/sound_stream/stereo-float.wav
ff -f lavfi -i "$tone" -ac 1 -c:a pcm_s16le -ar 22050 corpus/sound_stream/mono-22050.wav
ff -f lavfi -i "$tone" -ac 1 -c:a libmp3lame -b:a 32k corpus/sound_stream/mono.mp3
ff -f lavfi -i "$tone" -ac 2 -c:a libmp3lame -b:a 64k corpus/sound_stream/stereo.mp3
ls -l corpus/png_decode corpus/sound_stream
