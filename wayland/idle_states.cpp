// SPDX-License-Identifier: MIT
#include "wayland/idle_states.h"

namespace quillant {

namespace {

bool battery_holds(const idle_state& state) {
    return state.on_battery && !state.shows_on_battery;
}

// The user is idle and nothing is known to hold the saver back: it shows,
// or the desktop is asked about inhibitors first.
idle_action go_idle(idle_state& state) {
    if (state.asks_inhibition) {
        state.phase = idle_phase::asking;
        return idle_action::ask;
    }
    if (battery_holds(state)) {
        state.phase = idle_phase::held;
        return idle_action::none;
    }
    state.phase = idle_phase::showing;
    return idle_action::show;
}

// Back to waiting for the next idle time; the views go if they were shown.
idle_action stop_waiting_on(idle_state& state) {
    const bool shown = state.phase == idle_phase::showing;
    state.phase = idle_phase::waiting;
    return shown ? idle_action::hide : idle_action::none;
}

}  // namespace

idle_action take_idle_event(idle_state& state, idle_event event) {
    switch (event) {
        case idle_event::idle:
            return state.phase == idle_phase::waiting ? go_idle(state) : idle_action::none;
        case idle_event::active:
        case idle_event::input:
            return stop_waiting_on(state);
        case idle_event::views_gone:
            return stop_waiting_on(state);
        case idle_event::inhibited: {
            // A late answer can find the saver shown: it holds it back too.
            state.inhibited = true;
            const idle_phase before = state.phase;
            if (before == idle_phase::asking || before == idle_phase::showing) {
                state.phase = idle_phase::held;
            }
            return before == idle_phase::showing ? idle_action::hide : idle_action::none;
        }
        case idle_event::not_inhibited:
            state.inhibited = false;
            if (state.phase != idle_phase::asking) return idle_action::none;
            if (battery_holds(state)) {
                state.phase = idle_phase::held;
                return idle_action::none;
            }
            state.phase = idle_phase::showing;
            return idle_action::show;
        case idle_event::inhibitor_removed:
            // Held by an inhibitor: the user is still idle, so ask again.
            return state.phase == idle_phase::held && state.inhibited ? go_idle(state)
                                                                      : idle_action::none;
        case idle_event::on_battery:
            state.on_battery = true;
            if (state.phase != idle_phase::showing || !battery_holds(state)) return idle_action::none;
            state.phase = idle_phase::held;
            return idle_action::hide;
        case idle_event::on_mains:
            state.on_battery = false;
            return state.phase == idle_phase::held ? go_idle(state) : idle_action::none;
    }
    return idle_action::none;
}

const char* idle_event_name(idle_event event) {
    switch (event) {
        case idle_event::idle: return "idle";
        case idle_event::active: return "active";
        case idle_event::input: return "input";
        case idle_event::inhibited: return "inhibited";
        case idle_event::not_inhibited: return "not inhibited";
        case idle_event::inhibitor_removed: return "inhibitor removed";
        case idle_event::on_battery: return "on battery";
        case idle_event::on_mains: return "on mains";
        case idle_event::views_gone: return "views gone";
    }
    return "?";
}

const char* idle_phase_name(idle_phase phase) {
    switch (phase) {
        case idle_phase::waiting: return "waiting";
        case idle_phase::asking: return "asking";
        case idle_phase::held: return "held";
        case idle_phase::showing: return "showing";
    }
    return "?";
}

}  // namespace quillant
