// The one sample rate of the show's sound, in frames per second: the mix,
// the device it is played on, every stream the mixer accepts (nothing is
// resampled) and every sound file the asset generator writes.
#pragma once

constexpr int mixRate = 44100;
