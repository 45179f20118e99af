// SPDX-License-Identifier: MIT
#include "wayland/idle_states.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <utility>
#include <vector>

namespace quillant {
namespace {

using steps = std::vector<std::pair<idle_event, idle_action>>;

// Feeds the events in order and expects each action and, at the end, the phase.
void expect_steps(idle_state state, const steps& expected, idle_phase last) {
    std::string trail;
    for (const auto& [event, action] : expected) {
        trail += std::string(" ") + idle_event_name(event);
        EXPECT_EQ(take_idle_event(state, event), action) << "after" << trail;
    }
    EXPECT_EQ(state.phase, last) << "after" << trail << " the phase is "
                                 << idle_phase_name(state.phase);
}

TEST(IdleStates, ShowsAtIdleHidesWhenTheUserIsBackAndShowsAgain) {
    expect_steps({}, {{idle_event::idle, idle_action::show},
                      {idle_event::idle, idle_action::none},
                      {idle_event::active, idle_action::hide},
                      {idle_event::active, idle_action::none},
                      {idle_event::idle, idle_action::show},
                      // The saver's own input hides it; the desktop's word
                      // that the user is back comes after and changes nothing.
                      {idle_event::input, idle_action::hide},
                      {idle_event::active, idle_action::none},
                      {idle_event::idle, idle_action::show},
                      // The compositor took every view away.
                      {idle_event::views_gone, idle_action::hide},
                      {idle_event::active, idle_action::none},
                      {idle_event::idle, idle_action::show}},
                 idle_phase::showing);
}

TEST(IdleStates, WhereTheDesktopIsAskedAnInhibitorHoldsTheSaverBackUntilItGoes) {
    idle_state gnome;
    gnome.asks_inhibition = true;
    expect_steps(gnome, {{idle_event::idle, idle_action::ask},
                         {idle_event::inhibited, idle_action::none},
                         // Another inhibitor went; this one still holds.
                         {idle_event::inhibitor_removed, idle_action::ask},
                         {idle_event::inhibited, idle_action::none},
                         {idle_event::inhibitor_removed, idle_action::ask},
                         {idle_event::not_inhibited, idle_action::show},
                         {idle_event::inhibitor_removed, idle_action::none},
                         {idle_event::active, idle_action::hide},
                         // Back before the answer: the answer shows nothing.
                         {idle_event::idle, idle_action::ask},
                         {idle_event::active, idle_action::none},
                         {idle_event::not_inhibited, idle_action::none},
                         // Held, then back: nothing was shown, nothing hides.
                         {idle_event::idle, idle_action::ask},
                         {idle_event::inhibited, idle_action::none},
                         {idle_event::active, idle_action::none},
                         {idle_event::inhibitor_removed, idle_action::none}},
                 idle_phase::waiting);
}

TEST(IdleStates, OnBatteryTheSaverWaitsForMainsUnlessAllowed) {
    expect_steps({}, {{idle_event::on_battery, idle_action::none},
                      {idle_event::idle, idle_action::none},
                      {idle_event::on_mains, idle_action::show},
                      {idle_event::on_battery, idle_action::hide},
                      {idle_event::active, idle_action::none},
                      {idle_event::on_mains, idle_action::none},
                      {idle_event::idle, idle_action::show}},
                 idle_phase::showing);
    idle_state allowed;
    allowed.shows_on_battery = true;
    expect_steps(allowed, {{idle_event::on_battery, idle_action::none},
                           {idle_event::idle, idle_action::show},
                           {idle_event::on_mains, idle_action::none},
                           {idle_event::on_battery, idle_action::none}},
                 idle_phase::showing);
    // Asked and on battery: the answer cannot show it; mains asks again.
    idle_state gnome;
    gnome.asks_inhibition = true;
    expect_steps(gnome, {{idle_event::idle, idle_action::ask},
                         {idle_event::on_battery, idle_action::none},
                         {idle_event::not_inhibited, idle_action::none},
                         {idle_event::on_mains, idle_action::ask},
                         {idle_event::not_inhibited, idle_action::show}},
                 idle_phase::showing);
}

TEST(IdleStates, AskingAndHeldAreNotShownUntilTheInhibitorGoes) {
    idle_state state;
    state.asks_inhibition = true;
    take_idle_event(state, idle_event::idle);
    EXPECT_EQ(state.phase, idle_phase::asking);
    take_idle_event(state, idle_event::inhibited);
    EXPECT_EQ(state.phase, idle_phase::held);
    take_idle_event(state, idle_event::inhibitor_removed);
    EXPECT_EQ(take_idle_event(state, idle_event::not_inhibited), idle_action::show);
    EXPECT_EQ(take_idle_event(state, idle_event::active), idle_action::hide);
    EXPECT_EQ(state.phase, idle_phase::waiting);
}

// Every order of events, on every kind of desktop: shows and hides
// alternate, the saver shows only while the user is idle and nothing holds
// it back, and the user's return always ends it.
TEST(IdleStates, AnyOrderOfEventsKeepsShowAndHideInStep) {
    std::mt19937 random(27);
    for (int run = 0; run < 2000; ++run) {
        idle_state state;
        state.asks_inhibition = run % 2 == 1;
        state.shows_on_battery = run % 4 >= 2;
        bool shown = false;
        bool user_idle = false;  // the last of idle and active (or input) was idle
        for (int step = 0; step < 60; ++step) {
            const auto event = static_cast<idle_event>(random() % 9);
            const idle_phase before = state.phase;
            const idle_action action = take_idle_event(state, event);
            const std::string where = std::string("run ") + std::to_string(run) + ", " +
                                      idle_phase_name(before) + " + " + idle_event_name(event);
            if (action == idle_action::show) {
                ASSERT_FALSE(shown) << where << ": shown twice";
                shown = true;
            } else if (action == idle_action::hide) {
                ASSERT_TRUE(shown) << where << ": hidden without being shown";
                shown = false;
            }
            ASSERT_EQ(shown, state.phase == idle_phase::showing) << where;
            if (action == idle_action::ask) {
                ASSERT_TRUE(state.asks_inhibition) << where;
            }
            if (event == idle_event::idle) user_idle = true;
            if (event == idle_event::active || event == idle_event::input) user_idle = false;
            if (state.phase != idle_phase::waiting) {
                ASSERT_TRUE(user_idle) << where;
            }
            if (event == idle_event::active || event == idle_event::input) {
                ASSERT_EQ(state.phase, idle_phase::waiting) << where;
            }
            if (shown) {
                ASSERT_FALSE(state.on_battery && !state.shows_on_battery) << where;
                ASSERT_FALSE(state.asks_inhibition && state.inhibited) << where;
            }
        }
    }
}

}  // namespace
}  // namespace quillant
