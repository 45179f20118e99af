// SPDX-License-Identifier: MIT
// Collects the diagnostic lines of one stream, as the standard streams would
// show them, for the lifetime of the object; and silences them all.
#pragma once

#include "roses/diagnostics.h"

#include <mutex>
#include <string>

namespace quillant::testing {

class diagnostics_capture {
public:
    explicit diagnostics_capture(diagnostic_stream stream)
        : stream_(stream), previous_capture_(active()[index()]) {
        std::lock_guard<std::mutex> held(mutex());
        active()[index()] = this;
        previous_sink_ = set_diagnostics_sink(capture);
    }
    ~diagnostics_capture() {
        std::lock_guard<std::mutex> held(mutex());
        set_diagnostics_sink(previous_sink_);
        active()[index()] = previous_capture_;
    }
    diagnostics_capture(const diagnostics_capture&) = delete;
    diagnostics_capture& operator=(const diagnostics_capture&) = delete;

    std::string text() const {
        std::lock_guard<std::mutex> held(mutex());
        return text_;
    }

private:
    // Lines of a stream that nobody captures are dropped.
    static void capture(diagnostic_stream stream, const char* line) {
        std::lock_guard<std::mutex> held(mutex());
        diagnostics_capture* to = active()[stream == diagnostic_stream::output ? 0 : 1];
        if (to == nullptr) return;
        to->text_ += line;
        to->text_ += '\n';
    }
    static std::mutex& mutex() {
        static std::mutex shared;
        return shared;
    }
    static diagnostics_capture** active() {
        static diagnostics_capture* captures[2] = {nullptr, nullptr};
        return captures;
    }
    int index() const { return stream_ == diagnostic_stream::output ? 0 : 1; }

    diagnostic_stream stream_;
    diagnostics_capture* previous_capture_;
    diagnostics_sink previous_sink_ = nullptr;
    std::string text_;
};

// Drops every diagnostic line for the lifetime of the object.
class silenced_diagnostics {
public:
    silenced_diagnostics() : previous_(set_diagnostics_sink(discard_diagnostics)) {}
    ~silenced_diagnostics() { set_diagnostics_sink(previous_); }
    silenced_diagnostics(const silenced_diagnostics&) = delete;
    silenced_diagnostics& operator=(const silenced_diagnostics&) = delete;

private:
    diagnostics_sink previous_;
};

}  // namespace quillant::testing
