// SPDX-License-Identifier: MIT
#include "render/moment.h"
#include "render/offscreen_context.h"
#include "render/scene.h"
#include "tests/support/diagnostics_capture.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace quillant {

// For the checks' messages and comparisons, found beside the type.
bool operator==(const shown_orbit& a, const shown_orbit& b) {
    return a.re == b.re && a.im == b.im && a.radius == b.radius &&
           a.colour.red == b.colour.red && a.colour.green == b.colour.green &&
           a.colour.blue == b.colour.blue;
}

bool operator==(const moment& a, const moment& b) {
    return a.seed == b.seed && a.frame == b.frame && a.rose == b.rose && a.began == b.began &&
           a.orbit == b.orbit;
}

std::ostream& operator<<(std::ostream& out, const moment& m) {
    return out << "?" << moment_query(m);
}

namespace {

constexpr std::int32_t width = 80;
constexpr std::int32_t height = 60;

// The frames of a seed's run worth reaching: the first two, and the first
// and last frame of each rose up to `last`, with the frame between two
// roses.
std::vector<std::int64_t> frames_at_edges(std::uint32_t seed, std::int64_t last) {
    scene run(seed, search_driver::every_frame);
    run.resize(width, height);
    std::set<std::int64_t> frames{1, 2};
    moment before;
    for (std::int64_t frame = 1; frame <= last; ++frame) {
        run.skip_frames(1);
        const moment now = run.now();
        if (now.rose != before.rose || now.began != before.began) {
            frames.insert(frame);
            frames.insert(frame - 1);
        }
        before = now;
    }
    frames.erase(0);
    return {frames.begin(), frames.end()};
}

// A new scene of the moment's seed, taken on to it, at the size.
std::string reach(scene& reached, const moment& target, std::int32_t w, std::int32_t h) {
    const std::string why = reached.reach(target);
    reached.resize(w, h);
    return why;
}

class Moment : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(context.ready()); }

    testing::silenced_diagnostics quiet;
    offscreen_context context{width, height};
};

// Frames skipped are those the every_frame driver draws: the same state and
// the same picture after them.
TEST_F(Moment, SkippedFramesAreTheFramesDrawn) {
    scene drawn(5, search_driver::every_frame);
    drawn.resize(width, height);
    for (int frame = 0; frame < 700; ++frame) drawn.draw_frame();
    const std::vector<std::uint8_t> expected = context.pixels();

    scene skipped(5, search_driver::every_frame);
    skipped.resize(width, height);
    skipped.skip_frames(699);
    skipped.draw_frame();
    EXPECT_EQ(skipped.now(), drawn.now());
    EXPECT_TRUE(context.pixels() == expected);
    EXPECT_GT(drawn.now().rose, 0) << "a rose shows";
}

// The moment of any frame, reached without drawing, shows that frame's
// picture, between two roses too, and the frames after it are the run's.
TEST_F(Moment, AReachedMomentShowsTheFrameAndGoesOnAsTheRunDid) {
    int compared = 0;
    for (const std::uint32_t seed : {3u, 60u}) {
        for (const std::int64_t target : frames_at_edges(seed, 3000)) {
            scene run(seed, search_driver::every_frame);
            run.resize(width, height);
            run.skip_frames(target - 1);
            std::vector<std::vector<std::uint8_t>> expected;
            moment at;
            for (int after = 0; after < 3; ++after) {
                run.draw_frame();
                if (after == 0) at = run.now();
                expected.push_back(context.pixels());
            }
            ASSERT_EQ(at.frame, target);

            scene reached(seed, search_driver::every_frame);
            ASSERT_EQ(reach(reached, at, width, height), "") << at;
            for (int after = 0; after < 3; ++after) {
                reached.draw_frame();
                EXPECT_TRUE(context.pixels() == expected[after]) << at << " + " << after;
                if (after == 0) {
                    EXPECT_EQ(reached.now(), at);
                }
            }
            EXPECT_EQ(reached.now(), run.now()) << at;
            ++compared;
        }
    }
    EXPECT_GT(compared, 12);
}

// A page's search runs in slices as time allows, so its roses begin when
// they may; its moments are reached all the same, by a scene of any driver.
TEST_F(Moment, TheMomentsOfASlicedSearchAreReached) {
    scene page(60, search_driver::slices);
    page.resize(width, height);
    int shown = 0;
    for (int frame = 1; frame <= 8000 && shown < 4; ++frame) {
        page.draw_frame();
        if (frame % 50 != 0) continue;
        const std::vector<std::uint8_t> expected = context.pixels();
        const moment at = page.now();
        scene reached(60, search_driver::every_frame);
        ASSERT_EQ(reach(reached, at, width, height), "") << at;
        reached.draw_frame();
        EXPECT_TRUE(context.pixels() == expected) << at;
        // A rose on show, each time another.
        if (at.began > 0 && at.rose > shown) shown = static_cast<int>(at.rose);
        page.resize(width, height);  // the view, which the other scene set up, is the page's again
    }
    EXPECT_GE(shown, 4) << "four roses on show, each reached";
}

// Any size: the moment is laid out for the size it is reached at, as the
// run of that size showed it.
TEST(MomentSize, AMomentReachedAtAnotherSizeIsThatSizesRun) {
    testing::silenced_diagnostics quiet;
    offscreen_context context(120, 50);
    ASSERT_TRUE(context.ready());
    scene run(60, search_driver::every_frame);
    run.resize(120, 50);
    run.skip_frames(899);
    run.draw_frame();
    const std::vector<std::uint8_t> expected = context.pixels();
    const moment at = run.now();
    ASSERT_GT(at.began, 0);
    ASSERT_TRUE(at.orbit.has_value());
    scene reached(60, search_driver::slices);
    ASSERT_EQ(reach(reached, at, 120, 50), "");
    reached.draw_frame();
    EXPECT_TRUE(context.pixels() == expected);
}

// What no run of the seed shows is refused with the reason, and so is a
// scene that has begun: more roses than the shortest could show by then, a
// rose past its course. The most that could show is reached.
TEST_F(Moment, WhatNoRunShowsIsRefused) {
    scene run(3, search_driver::every_frame);
    run.resize(width, height);
    run.skip_frames(3000);
    const moment last = run.now();
    ASSERT_GE(last.rose, 2);
    ASSERT_GT(last.began, 0);

    // Roses show for 382 frames at least, with a frame between two.
    const std::vector<std::pair<moment, std::string>> refused = {
        {{3, 3000, 9, 3000, std::nullopt}, "rose 9 of seed 3 cannot have begun by frame 3000"},
        {{3, 3000, 8, 0, std::nullopt}, "rose 8 of seed 3 cannot have ended by frame 3000"},
        {{3, last.began + 100000, last.rose, last.began, last.orbit}, "has ended by frame"},
        {{3, 3000, 3000, 0, std::nullopt}, "cannot have ended"},
    };
    for (const auto& [target, why] : refused) {
        scene reached(3, search_driver::every_frame);
        const std::string said = reached.reach(target);
        EXPECT_NE(said.find(why), std::string::npos) << target << ": " << said;
    }
    scene most(3, search_driver::every_frame);
    EXPECT_EQ(most.reach({3, 3000, 8, 2682, std::nullopt}), "");
    scene other_seed(4, search_driver::every_frame);
    EXPECT_NE(other_seed.reach(last), "");
    scene begun(3, search_driver::every_frame);
    begun.resize(width, height);
    begun.draw_frame();
    EXPECT_NE(begun.reach(last), "");
}

// A link that claims more roses than its frames hold is refused as soon as
// the seed's roses, replayed one after another, pass its frames (and the
// slack for another build), not after a search of every rose it claims.
TEST(MomentRefusal, ClaimsBeyondTheRosesRealLengthsAreRefusedEarly) {
    testing::silenced_diagnostics quiet;
    for (const moment& claimed : {moment{60, 100000, 261, 99999, std::nullopt},
                                  moment{60, 100000, 261, 0, std::nullopt}}) {
        scene reached(60, search_driver::every_frame);
        const std::string said = reached.reach(claimed);
        const std::string prefix =
            claimed.began > 0 ? "rose 261 of seed 60 cannot have begun by frame 99999: the seed's first "
                              : "rose 261 of seed 60 cannot have ended by frame 100000: the seed's first ";
        ASSERT_EQ(said.rfind(prefix, 0), 0u) << said;
        const std::int64_t replayed = std::stoll(said.substr(prefix.size()));
        // Roses last 1,500 frames or so on average, 4,606 at most: a hundred
        // or so pass 100,000 frames and the slack.
        EXPECT_LT(replayed, claimed.rose / 2) << said;
        EXPECT_GT(replayed, 30) << said;
    }
}

// A moment reached in slices, each a look at the clock apart, is the moment
// reached at once: the same picture, then the same frames.
TEST_F(Moment, AMomentReachedInSlicesIsTheSame) {
    scene run(60, search_driver::every_frame);
    run.resize(width, height);
    run.skip_frames(20000);
    run.draw_frame();
    const moment at = run.now();
    ASSERT_GT(at.began, 0);
    std::vector<std::vector<std::uint8_t>> expected{context.pixels()};
    run.draw_frame();
    expected.push_back(context.pixels());

    scene sliced(60, search_driver::every_frame);
    ASSERT_EQ(sliced.begin_reach(at), "");
    std::optional<std::string> said;
    int slices = 0;
    for (; !said && slices < 1000000; ++slices) said = sliced.reach_further(1);
    ASSERT_EQ(said, std::optional<std::string>(""));
    EXPECT_GT(slices, 1) << "the way taken in more than one slice";
    sliced.resize(width, height);
    for (const auto& picture : expected) {
        sliced.draw_frame();
        EXPECT_TRUE(context.pixels() == picture);
    }

    scene refused(60, search_driver::every_frame);
    ASSERT_EQ(refused.begin_reach({60, 100000, 261, 99999, std::nullopt}), "");
    for (said.reset(); !said;) said = refused.reach_further(1);
    EXPECT_NE(said->find("cannot have begun"), std::string::npos) << *said;
    EXPECT_EQ(refused.reach_further(1), std::optional<std::string>("no moment is being reached"));
}

// The orbit that a link names is the rose on show, whichever rose this
// build's search found in its place: as when another build rounds an orbit
// on the edge of acceptance otherwise. The rest of the moment stays.
TEST_F(Moment, TheLinksOrbitIsTheRoseOnShow) {
    scene other(60, search_driver::every_frame);
    other.resize(width, height);
    other.skip_frames(900);
    const moment elsewhere = other.now();
    ASSERT_TRUE(elsewhere.orbit.has_value());

    scene run(3, search_driver::every_frame);
    run.resize(width, height);
    run.skip_frames(900);
    moment at = run.now();
    ASSERT_TRUE(at.orbit.has_value());
    ASSERT_FALSE(*at.orbit == *elsewhere.orbit);
    at.orbit = elsewhere.orbit;

    scene reached(3, search_driver::every_frame);
    ASSERT_EQ(reach(reached, at, width, height), "");
    reached.draw_frame();
    EXPECT_EQ(reached.now(), at);
    platform::scoped_lock held(reached.root().roses.lock);
    platform::scoped_lock held_other(other.root().roses.lock);
    const traj_rose& shown = *reached.root().roses.roses.front();
    const traj_rose& expected = *other.root().roses.roses.front();
    EXPECT_EQ(shown.slot.start, expected.slot.start);
    EXPECT_EQ(shown.vertices.size(), expected.vertices.size());
    EXPECT_EQ(shown.x_min, expected.x_min);
    EXPECT_EQ(shown.y_max, expected.y_max);
    EXPECT_EQ(shown.progress, 3 * (900 - at.began + 2)) << "its own progress, the moment's";
}

// A link's moment read back from the query a page writes for it, and the
// parts of a moment refused with a reason each.
TEST(MomentLink, ReadsWhatThePageWritesAndRefusesTheRest) {
    const shown_orbit orbit{-0.866210938f, -0.0114479284f, 0.418951094f, {0xc8, 0xa0, 0x3c, 255}};
    for (const moment& written : {moment{7, 72000, 43, 71708, orbit},
                                  moment{7, 72000, 43, 71708, std::nullopt},
                                  moment{4294967295u, 1, 0, 0, std::nullopt},
                                  moment{0, 1728000, 12, 0, std::nullopt}}) {
        const std::string query = moment_query(written);
        for (const std::string& link :
             {query, "?" + query, "https://example.org/quillant/?" + query + "#top",
              "http://127.0.0.1:8000/index.html?fps&" + query + "&delay=20000",
              "file:///home/me/quillant.html?" + query}) {
            moment read;
            EXPECT_EQ(read_moment_link(link, read), "") << link;
            EXPECT_EQ(read, written) << link;
        }
    }
    EXPECT_EQ(moment_query({7, 1200, 3, 900, orbit}),
              "seed=7&frame=1200&rose=3&began=900&orbit=-0.866210938,-0.0114479288,0.418951094,"
              "c8a03c");

    const std::vector<std::pair<std::string, std::string>> refused = {
        {"https://example.org/", "holds no moment"},
        {"?seed=7", "holds no moment"},
        {"?frame=5&rose=1", "needs seed, frame and rose"},
        {"?seed=7&rose=1&began=1", "needs seed, frame and rose"},
        {"?seed=7&frame=0&rose=0", "frame='0' is not a frame from 1 to 1728000"},
        {"?seed=7&frame=1728001&rose=0", "is not a frame"},
        {"?seed=-7&frame=5&rose=0", "seed='-7' is not a seed"},
        {"?seed=7&frame=5&rose=x", "rose='x' is not a number of roses from 0 to 1728000"},
        {"?seed=7&frame=5&rose=1&began=0", "began='0' is not a frame"},
        {"?seed=7&frame=5&rose=1&began=6", "began=6 is after frame=5"},
        {"?seed=7&frame=5&rose=6", "rose=6 cannot have been shown by frame=5"},
        {"?seed=7&frame=5&rose=0&began=3", "began is given for no rose"},
        {"https://x/#?seed=7&frame=5&rose=0", "holds no moment"},
        {"?seed=7&frame=5&rose=1&began=2&orbit=1,1,0.3", "orbit='1,1,0.3' is not an orbit"},
        {"?seed=7&frame=5&rose=1&began=2&orbit=3,1,0.3,ffffff", "is not an orbit"},
        {"?seed=7&frame=5&rose=1&began=2&orbit=1,1,0.5,ffffff", "is not an orbit"},
        {"?seed=7&frame=5&rose=1&began=2&orbit=1,1,nan,ffffff", "is not an orbit"},
        {"?seed=7&frame=5&rose=1&began=2&orbit=1,0x1p0,0.3,ffffff", "is not an orbit"},
        {"?seed=7&frame=5&rose=1&began=2&orbit=1,1,0.3,fffffg", "is not an orbit"},
        {"?seed=7&frame=5&rose=1&orbit=1,1,0.3,ffffff", "orbit is given for no rose on show"},
    };
    for (const auto& [link, why] : refused) {
        moment read;
        const std::string said = read_moment_link(link, read);
        EXPECT_NE(said.find(why), std::string::npos) << link << ": " << said;
    }
}

}  // namespace
}  // namespace quillant
