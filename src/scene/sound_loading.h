// Reads a sound file whole into memory and opens it as an in-memory
// stream. The memory block is exactly the file's size and is never freed:
// the stream plays from it until the process ends.
//
// A file that is missing, empty, unreadable or not a regular file (a
// directory, a named pipe), or that the sound library
// cannot decode, is reported in the "Error" box as
// "unable to load sound: <path>" and gives a null handle, which the sound
// library accepts and ignores.
#pragma once

struct FSOUND_STREAM;

// "data/kelpwake.mp3", opened with sample-accurate MPEG positions.
FSOUND_STREAM* openMusic();

// A WAV sample at `path`, relative to the working directory.
FSOUND_STREAM* loadSample(const char* path);

// The file name of the music.
extern const char* const musicPath;
