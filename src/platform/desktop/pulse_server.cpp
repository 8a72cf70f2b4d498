#include "platform/desktop/pulse_server.h"

#include <pulse/context.h>
#include <pulse/introspect.h>
#include <pulse/mainloop.h>

#include "platform/sound/sound_device.h"

#include <cstdint>
#include <cstring>

namespace {

struct Question {
    bool answered = false;
    bool pipewire = false;
};

void noteServerName(pa_context*, const pa_server_info* info, void* userData) {
    Question& question = *static_cast<Question*>(userData);
    question.answered = true;
    // pipewire-pulse calls itself "PulseAudio (on PipeWire 0.3.65)".
    question.pipewire = info && info->server_name && std::strstr(info->server_name, "PipeWire");
}

}  // namespace

bool PulseServer::isPipeWire() {
    pa_mainloop* loop = pa_mainloop_new();
    if (!loop) return false;
    pa_context* context = pa_context_new(pa_mainloop_get_api(loop), "vesk");
    Question question;
    if (context && pa_context_connect(context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) >= 0) {
        const int64_t deadline = SoundDevice::clockNanoseconds() + int64_t{answerWaitMilliseconds} * 1000000;
        bool asked = false;
        while (!question.answered && SoundDevice::clockNanoseconds() < deadline) {
            const pa_context_state_t state = pa_context_get_state(context);
            if (!PA_CONTEXT_IS_GOOD(state)) break;
            if (state == PA_CONTEXT_READY && !asked) {
                pa_operation* operation = pa_context_get_server_info(context, &noteServerName, &question);
                if (!operation) break;
                pa_operation_unref(operation);
                asked = true;
            }
            // Wakes at least every 10 ms, so that a silent server meets the deadline.
            if (pa_mainloop_prepare(loop, 10000) < 0 || pa_mainloop_poll(loop) < 0 || pa_mainloop_dispatch(loop) < 0)
                break;
        }
        pa_context_disconnect(context);
    }
    if (context) pa_context_unref(context);
    pa_mainloop_free(loop);
    return question.pipewire;
}
