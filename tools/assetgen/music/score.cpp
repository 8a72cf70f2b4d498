#include "music/score.h"

#include "music/instruments.h"
#include "random.h"
#include "synth/bubble.h"
#include "synth/echo.h"
#include "synth/envelopes.h"
#include "synth/reverb.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

const double beatSeconds = 0.5;
const double barBeats = 4;
const double lengthSeconds = 69.0;
const double fadeOutStart = 66.5, fadeOutEnd = 68.5;

double secondsAt(double beat) { return beat * beatSeconds; }
size_t frameAtBeat(double beat) { return frameAt(secondsAt(beat)); }

// MIDI pitches.
enum Pitch {
    G1 = 31, A1 = 33, Bb1 = 34, B1 = 35, D2 = 38, E2 = 40,
    Fs3 = 54, G3 = 55, A3 = 57, Bb3 = 58, B3 = 59, C4 = 60, Cs4 = 61, D4 = 62, E4 = 64, F4 = 65, Fs4 = 66, G4 = 67, A4 = 69,
    Bb4 = 70, C5 = 72, Cs5 = 73, D5 = 74, E5 = 76, Fs5 = 78, G5 = 79, A5 = 81, B5 = 83, Cs6 = 85, D6 = 86, E6 = 88
};

struct Chord {
    double bar;    // first bar
    double bars;   // how long
    int bass;      // root, low octave
    int tones[4];  // the pad's voicing
};

// The harmony, bar by bar (a bar is 2 s).
const Chord chords[] = {
    // Title.
    {0, 2, D2, {A3, Cs4, E4, Fs4}},   // Dmaj9
    {2, 2, B1, {A3, Cs4, D4, Fs4}},   // Bm9
    {4, 2, G1, {Fs3, A3, B3, D4}},  // Gmaj9
    {6, 2, E2, {G3, B3, D4, Fs4}},    // Em9
    {8, 1, A1, {A3, D4, E4, G4}},     // A7sus4
    {9, 1, A1, {A3, Cs4, E4, G4}},    // A7
    // The fish: theme.
    {10, 1, D2, {A3, Cs4, D4, Fs4}},  // Dmaj7
    {11, 1, B1, {A3, B3, D4, Fs4}},   // Bm7
    {12, 1, G1, {Fs3, B3, D4, G4}},  // Gmaj7
    {13, 1, A1, {A3, Cs4, E4, Fs4}},  // A6
    {14, 1, D2, {A3, Cs4, D4, Fs4}},  // Dmaj7
    {15, 1, G1, {Fs3, A3, B3, D4}},  // Gmaj9: it speaks
    // The answer, climbing.
    {16, 1, B1, {A3, B3, D4, Fs4}},   // Bm7
    {17, 1, G1, {Fs3, B3, D4, G4}},  // Gmaj7
    {18, 1, E2, {G3, B3, D4, Fs4}},   // Em9
    {19, 1, A1, {G3, Cs4, E4, A4}},   // A7
    // Under the mute, then heard again from 45.1 s: G minor.
    {20, 2, B1, {Fs3, B3, D4, Fs4}},  // Bm
    {22, 2, G1, {Bb3, D4, F4, A4}},        // Gm9
    {24, 1, Bb1, {A3, D4, F4, A4}},        // Bbmaj7
    {25, 1, A1, {G3, Cs4, E4, A4}},        // A7
    // Outro.
    {26, 2, D2, {A3, Cs4, E4, Fs4}},  // Dmaj9
    {28, 1, D2, {A3, Cs4, D4, Fs4}},  // Dmaj7
    {29, 1, B1, {A3, B3, D4, Fs4}},   // Bm7
    {30, 1, G1, {Fs3, B3, D4, G4}},  // Gmaj7
    {31, 1, A1, {G3, Cs4, E4, A4}},   // A7
    {32, 1, G1, {G3, Bb3, D4, E4}},   // Gm6
    {33, 1.5, D2, {A3, Cs4, E4, Fs4}},  // Dmaj9, to the end
};

struct Note {
    double beat;
    double beats;
    int pitch;
    double velocity;
};

// The fish's theme (bars 10-14), then its answer after it has spoken
// (bars 16-19), rising into the crash.
const Note theme[] = {
    {40, 1.5, Fs5, 0.8}, {41.5, 0.5, E5, 0.7}, {42, 1, D5, 0.75}, {43, 1, E5, 0.7},
    {44, 2.5, A5, 0.85}, {46.5, 0.5, Fs5, 0.7}, {47, 1, E5, 0.7},
    {48, 1.5, B5, 0.85}, {49.5, 0.5, A5, 0.7}, {50, 1, Fs5, 0.75}, {51, 1, A5, 0.75},
    {52, 3, E5, 0.8}, {55, 1, Cs5, 0.7},
    {56, 1, D5, 0.75}, {57, 1, Fs5, 0.75}, {58, 1.8, A5, 0.8},
};
const Note answer[] = {
    {64.5, 0.5, D5, 0.7}, {65, 1, E5, 0.7}, {66, 1, Fs5, 0.75}, {67, 1, A5, 0.8},
    {68, 2, B5, 0.85}, {70, 1, A5, 0.75}, {71, 1, G5, 0.75},
    {72, 2, E5, 0.8}, {74, 1, Fs5, 0.8}, {75, 1, G5, 0.85},
    {76, 2, Cs6, 0.9}, {78, 2, E6, 1.0},
};
// Slow bells falling through G minor after the mute.
const Note lament[] = {
    {89, 3, D5, 0.6}, {92, 2, Bb4, 0.55}, {94, 2, A4, 0.55},
    {96, 3, F4, 0.55}, {99, 1, G4, 0.5}, {100, 2, A4, 0.55}, {102, 2, Cs5, 0.6},
};
// The closing phrase, the last note held into the fade.
const Note farewell[] = {{128, 2, Bb4, 0.6}, {130, 2, A4, 0.6}, {132, 6, D5, 0.7}};

// Where the parts play into: most straight to the mix, the bells through
// the echo as well, and every part sends some of itself to the room.
struct Buses {
    Stereo dry;
    Stereo bells;
    Stereo reverbSend;
    explicit Buses(size_t frames) : dry(frames), bells(frames), reverbSend(frames) {}
};

const double leadLevel = 0.42;

const Chord* chordAtBar(double bar) {
    for (const Chord& chord : chords)
        if (bar >= chord.bar && bar < chord.bar + chord.bars) return &chord;
    return &chords[std::size(chords) - 1];
}

// The pad's cutoff at a bar: dark in the title, opening as the fish comes,
// wide open at the climb, dark again after the crash.
double padCutoffAt(double bar) {
    if (bar < 10) return 700 + 40 * bar;
    if (bar < 16) return 1300;
    if (bar < 20) return 1300 + 700 * (bar - 16);
    if (bar < 26) return 650;
    return 1000;
}

void playPads(Buses& buses) {
    uint32_t seed = 100;
    for (const Chord& chord : chords) {
        double start = secondsAt(chord.bar * barBeats);
        double held = secondsAt(chord.bars * barBeats);
        bool last = &chord == &chords[std::size(chords) - 1];
        PadSettings settings;
        settings.attack = chord.bar == 0 ? 0.25 : 0.6;
        settings.cutoffStartHz = padCutoffAt(chord.bar);
        settings.cutoffEndHz = padCutoffAt(chord.bar + chord.bars - 0.01);
        if (last) held = lengthSeconds - start;
        Stereo pad = renderPad(std::vector<int>(std::begin(chord.tones), std::end(chord.tones)), held, 1.0, settings,
                               seed++);
        mixInto(buses.dry, pad, frameAt(start));
        mixInto(buses.reverbSend, pad, frameAt(start), 0.5);
    }
}

void playBass(Buses& buses) {
    auto play = [&](double beat, double beats, int pitch, double velocity) {
        Mono note = renderBass(pitch, secondsAt(beats), velocity);
        mixPanned(buses.dry, note, frameAtBeat(beat), 0.5, 0);
        mixPanned(buses.reverbSend, note, frameAtBeat(beat), 0.05, 0);
    };
    for (const Chord& chord : chords) {
        double beat = chord.bar * barBeats;
        double beats = chord.bars * barBeats;
        bool groove = chord.bar >= 10 && chord.bar < 20;
        if (!groove) {
            play(beat, beats - 0.2, chord.bass, chord.bar >= 33 ? 0.8 : 0.9);
            continue;
        }
        // A gentle figure: root, fifth, octave.
        play(beat, 1.4, chord.bass, 1.0);
        play(beat + 2, 0.9, chord.bass + 7, 0.8);
        play(beat + 3, 0.9, chord.bass + 12, 0.75);
    }
}

void playMelody(Buses& buses, const Note* notes, size_t count, double gain) {
    int previous = notes[0].pitch;
    for (size_t i = 0; i < count; ++i) {
        const Note& n = notes[i];
        int pitch = n.pitch;
        Mono note = renderLead(pitch, previous, secondsAt(n.beats) - 0.05, n.velocity);
        mixPanned(buses.dry, note, frameAtBeat(n.beat), gain * leadLevel, 0.1);
        mixPanned(buses.reverbSend, note, frameAtBeat(n.beat), gain * 0.45, 0.1);
        previous = pitch;
    }
}

void playBell(Buses& buses, double beat, int pitch, double velocity, double pan) {
    Mono note = renderBell(pitch, velocity);
    mixPanned(buses.bells, note, frameAtBeat(beat), 0.32, pan);
    mixPanned(buses.reverbSend, note, frameAtBeat(beat), 0.25, pan);
}

// Bells rippling up and down the chord, `perBeat` notes a beat, between
// two beats; the level follows `levelAt(beat)`.
template <typename Level>
void playArpeggio(Buses& buses, double fromBeat, double toBeat, int perBeat, Level levelAt) {
    int step = 0;
    for (double beat = fromBeat; beat < toBeat - 1e-9; beat += 1.0 / perBeat, ++step) {
        const Chord* chord = chordAtBar(beat / barBeats);
        int tones[8];
        for (int k = 0; k < 4; ++k) {
            tones[k] = chord->tones[k] + 12;
            tones[k + 4] = chord->tones[k] + 24;
        }
        std::sort(tones, tones + 8);
        const int pattern[] = {0, 2, 4, 3, 5, 7, 6, 4, 2, 5, 3, 1};
        int pitch = tones[pattern[step % 12]];
        double accent = step % perBeat == 0 ? 1.0 : 0.75;
        playBell(buses, beat, pitch, levelAt(beat) * accent, step % 2 ? 0.35 : -0.35);
    }
}

void playBells(Buses& buses) {
    // Title: a ripple that grows in.
    playBell(buses, 0, D5, 0.8, 0);
    playBell(buses, 0, A4, 0.5, 0.3);
    playArpeggio(buses, 4, 40, 2, [](double beat) { return 0.35 + 0.3 * ramp(beat, 4, 24); });
    // Under the theme, softer, and softer still while the fish speaks
    // (31 s, beat 62); faster as it climbs.
    playArpeggio(buses, 40, 72, 2, [](double beat) { return beat >= 61 && beat < 64 ? 0.18 : 0.32; });
    playArpeggio(buses, 72, 80, 4, [](double beat) { return 0.3 + 0.35 * ramp(beat, 72, 80); });
    // Under the mute the arpeggio stops; the lament follows.
    for (const Note& n : lament) playBell(buses, n.beat, n.pitch, n.velocity * 1.4, 0);
    // Outro: a ripple again, making room for the diver's voice (54 s, beat
    // 108), then the theme's first four bars on bells over it (bars 28-31),
    // slowing at the end.
    playArpeggio(buses, 104, 128, 2, [](double beat) { return beat >= 107.5 && beat < 111.5 ? 0.15 : 0.3; });
    playArpeggio(buses, 128, 134, 1, [](double beat) { return 0.3 * (1 - ramp(beat, 128, 134) * 0.5); });
    for (const Note& n : theme)
        if (n.beat < 56) playBell(buses, n.beat + 72, n.pitch, n.velocity * 1.1, -0.15);
    playBell(buses, 132, D6, 0.8, 0.2);
}

void playDrums(Buses& buses) {
    for (int bar = 10; bar < 20; ++bar) {
        double beat = bar * barBeats;
        bool climbing = bar >= 18;
        for (int k = 0; k < 4; ++k) {
            if (k % 2 == 0 || (climbing && bar == 19)) {
                Mono kick = renderKick(0.9);
                mixPanned(buses.dry, kick, frameAtBeat(beat + k), 0.55, 0);
            }
        }
        int perBeat = climbing ? 4 : 2;
        for (int k = 0; k < 4 * perBeat; ++k) {
            bool offBeat = k % perBeat != 0;
            Mono shake = renderShaker(offBeat ? 0.9 : 0.5, uint32_t(bar * 97 + k));
            double at = beat + double(k) / perBeat;
            mixPanned(buses.dry, shake, frameAtBeat(at), 0.16, 0.35);
            mixPanned(buses.reverbSend, shake, frameAtBeat(at), 0.05, 0.35);
        }
    }
}

// Bubbles rising in the water now and then, high and quiet.
void playBubbles(Buses& buses) {
    Random random(2024);
    for (double t = 1.3; t < 64; t += random.between(0.7, 2.2)) {
        int count = 1 + int(random.unit() * 3);
        double pan = random.bipolar() * 0.8;
        for (int k = 0; k < count; ++k) {
            double hz = random.between(900, 2200);
            Mono blip = renderBubble({hz, hz * 1.5, 0.03, 0.02, random.between(0.1, 0.2)});
            size_t at = frameAt(t + k * random.between(0.04, 0.09));
            mixPanned(buses.bells, blip, at, 0.5, pan);
            mixPanned(buses.reverbSend, blip, at, 0.4, pan);
        }
    }
}

Stereo mixDown(const Buses& buses) {
    Stereo master = buses.dry;
    mixInto(master, buses.bells, 0, 1.0);
    EchoSettings echoSettings;
    echoSettings.delaySeconds = 0.75 * beatSeconds;
    mixInto(master, echo(buses.bells, echoSettings), 0, 0.45);
    ReverbSettings room;
    room.decay = 0.86;
    mixInto(master, reverberate(buses.reverbSend, room), 0, 1.0);

    for (size_t i = 0; i < master.frames(); ++i) {
        double t = timeAt(i);
        float level = float(ramp(t, 0, 0.25) * (1 - smoothRamp(t, fadeOutStart, fadeOutEnd)));
        master.left[i] *= level;
        master.right[i] *= level;
    }
    normalise(master, 0.5f);
    return master;
}

}  // namespace

Stereo composeKelpwake() {
    Buses buses(frameAt(lengthSeconds));
    playPads(buses);
    playBass(buses);
    playMelody(buses, theme, std::size(theme), 1.0);
    playMelody(buses, answer, std::size(answer), 1.0);
    playMelody(buses, farewell, std::size(farewell), 0.8);
    playBells(buses);
    playDrums(buses);
    playBubbles(buses);
    return mixDown(buses);
}
