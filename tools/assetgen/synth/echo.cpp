#include "synth/echo.h"

#include "synth/filters.h"

Stereo echo(const Stereo& dry, const EchoSettings& settings) {
    size_t delay = frameAt(settings.delaySeconds);
    Stereo wet(dry.frames());
    if (delay == 0) return wet;
    std::vector<float> lineLeft(delay, 0.0f), lineRight(delay, 0.0f);
    OnePole toneLeft, toneRight;
    toneLeft.setCutoff(settings.toneHz);
    toneRight.setCutoff(settings.toneHz);
    float feedback = float(settings.feedback);
    size_t position = 0;
    for (size_t i = 0; i < dry.frames(); ++i) {
        float fromLeft = lineLeft[position];
        float fromRight = lineRight[position];
        wet.left[i] = fromLeft;
        wet.right[i] = fromRight;
        // The left input enters on the left; every repeat swaps sides.
        lineLeft[position] = float(toneLeft.lowpass(dry.left[i] + feedback * fromRight));
        lineRight[position] = float(toneRight.lowpass(dry.right[i] + feedback * fromLeft));
        if (++position == delay) position = 0;
    }
    return wet;
}
