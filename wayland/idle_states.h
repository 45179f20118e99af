// SPDX-License-Identifier: MIT
// When quillant-wayland --idle shows the saver and when it hides it again:
// what the desktop says of the user (idle, back), of inhibitors and of the
// power, and what the saver's own input does, turned into show and hide.
// Pure, so that every order of events is tested without a desktop.
#pragma once

namespace quillant {

enum class idle_phase {
    waiting,  // the user works, or the saver was hidden: nothing is shown
    asking,   // idle: the desktop is asked whether an inhibitor holds it back
    held,     // idle, but an inhibitor or the battery holds the saver back
    showing,  // the saver is shown
};

enum class idle_event {
    idle,               // the desktop says the user has been idle long enough
    active,             // the desktop says the user is back
    input,              // the saver's views took input that ends the saver
    inhibited,          // the answer to the question: an inhibitor holds idle back
    not_inhibited,      // the answer to the question: none does
    inhibitor_removed,  // an inhibitor went away: the answer may have changed
    on_battery,         // the machine runs on its battery
    on_mains,           // the machine runs on mains power
    views_gone,         // the compositor took away every view of the saver
};

enum class idle_action {
    none,
    show,  // make the views: surfaces, GL contexts, scenes, worker threads
    hide,  // end them all; only the connection stays
    ask,   // ask the desktop whether an inhibitor holds idle back
};

struct idle_state {
    idle_phase phase = idle_phase::waiting;
    bool inhibited = false;  // the last answer; only desktops that are asked
    bool on_battery = false;
    // How the desktop works and what the user chose: whether inhibitors
    // must be asked about (GNOME; Wayland's idle protocols honour them
    // themselves), and whether the saver shows on battery (--on-battery).
    bool asks_inhibition = false;
    bool shows_on_battery = false;
};

// Takes one event: the new phase in `state`, and what the client must do.
idle_action take_idle_event(idle_state& state, idle_event event);

// The event's and the phase's names, for --verbose and the tests.
const char* idle_event_name(idle_event event);
const char* idle_phase_name(idle_phase phase);

}  // namespace quillant
