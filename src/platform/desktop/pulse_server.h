// Which PulseAudio server this process's clients reach: PulseAudio itself,
// or PipeWire answering PulseAudio clients (pipewire-pulse). SDL calls both
// its "pulseaudio" driver, but they hold a client's buffer differently
// (sound_tuning.h).
//
// Threads: the main thread, before SDL's audio subsystem starts.
#pragma once

class PulseServer {
public:
    // How long the question may take, at most, with a server that does
    // not answer.
    static constexpr int answerWaitMilliseconds = 1000;

    // True when the server that PULSE_SERVER, or else the default socket,
    // leads to names itself PipeWire's; false when it is PulseAudio, or
    // when no server answers. Asks on a connection of its own (no server
    // is spawned for it), closed before returning.
    static bool isPipeWire();
};
