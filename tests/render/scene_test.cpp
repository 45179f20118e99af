// SPDX-License-Identifier: MIT
#include "render/offscreen_context.h"
#include "render/scene.h"
#include "tests/support/diagnostics_capture.h"

#include <gtest/gtest.h>

#include <dirent.h>

#include <memory>
#include <vector>

namespace quillant {
namespace {

constexpr std::int32_t width = 96;
constexpr std::int32_t height = 64;

// The threads of this process, from /proc.
int thread_count() {
    DIR* tasks = opendir("/proc/self/task");
    if (tasks == nullptr) return -1;
    int count = 0;
    while (const dirent* entry = readdir(tasks)) count += entry->d_name[0] != '.';
    closedir(tasks);
    return count;
}

// What a frame showed: the live rose's starting point and progress, and the
// camera's pose.
struct shown {
    float re, im;
    std::int32_t progress;
    float pitch, yaw;
    bool operator==(const shown& o) const {
        return re == o.re && im == o.im && progress == o.progress && pitch == o.pitch &&
               yaw == o.yaw;
    }
};

shown what_shows(const scene& s) {
    const ball_camera& root = s.root();
    const traj_rose* rose = root.roses.roses.empty() ? nullptr : root.roses.roses.front().get();
    return {rose ? rose->slot.start.real() : 0.0f, rose ? rose->slot.start.imag() : 0.0f,
            rose ? rose->progress : 0, root.pitch, root.yaw};
}

class Scene : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(context.ready()); }

    testing::silenced_diagnostics quiet;
    offscreen_context context{width, height};
};

// Scenes come and go, each with its worker, and leave nothing behind: no
// thread (counted here), no memory (AddressSanitizer's leak check), no race
// (ThreadSanitizer).
TEST_F(Scene, FiftyScenesMadeDrawnAndEndedLeaveNoWorkerBehind) {
    const int threads_before = thread_count();
    for (std::uint32_t seed = 0; seed < 50; ++seed) {
        scene s(seed, search_driver::thread);
        s.resize(width, height);
        EXPECT_TRUE(s.worker_started());
        for (int frame = 0; frame < 100; ++frame) s.draw_frame();
    }
    EXPECT_EQ(thread_count(), threads_before);
}

// The first size starts the worker; later sizes lay the roses out again.
TEST_F(Scene, StartsItsWorkerOnceWhateverTheSizes) {
    scene s(5, search_driver::thread);
    EXPECT_FALSE(s.worker_started());
    s.resize(width, height);
    const std::uint32_t worker = s.worker_thread();
    EXPECT_NE(worker, 0u);
    s.resize(width / 2, height / 2);
    EXPECT_EQ(s.worker_thread(), worker);
    EXPECT_EQ(s.root().width, width / 2);
    EXPECT_EQ(s.root().roses.width.load(), width / 2);
}

// Two scenes side by side draw exactly what each draws alone: their
// engines are their own.
TEST_F(Scene, TwoScenesDrawWhatEachDrawsAlone) {
    constexpr int frames = 400;
    auto alone = [](std::uint32_t seed) {
        scene s(seed, search_driver::every_frame);
        s.resize(width, height);
        std::vector<shown> seen;
        for (int frame = 0; frame < frames; ++frame) {
            s.draw_frame();
            seen.push_back(what_shows(s));
        }
        return seen;
    };
    const std::vector<shown> a_alone = alone(17);
    const std::vector<shown> b_alone = alone(18);
    ASSERT_FALSE(a_alone == b_alone);

    scene a(17, search_driver::every_frame);
    scene b(18, search_driver::every_frame);
    a.resize(width, height);
    b.resize(width, height);
    std::vector<shown> a_seen;
    std::vector<shown> b_seen;
    for (int frame = 0; frame < frames; ++frame) {
        b.draw_frame();
        a.draw_frame();
        a_seen.push_back(what_shows(a));
        b_seen.push_back(what_shows(b));
    }
    EXPECT_TRUE(a_seen == a_alone);
    EXPECT_TRUE(b_seen == b_alone);
    EXPECT_NE(a_seen.back().re, 0.0f) << "a rose shows";
}

// With workers of their own the scenes' first roses are those of each
// seed, however the two threads run.
TEST_F(Scene, TwoWorkersSearchWhatEachSearchesAlone) {
    auto first_rose = [](scene& s) {
        for (int wait = 0; wait < 1200 && s.root().roses.rose_count.load() == 0; ++wait) {
            platform::sleep_ms(25);
        }
        platform::scoped_lock held(s.root().roses.lock);
        const auto& roses = s.root().roses.roses;
        return roses.empty() ? complex_f() : roses.front()->slot.start;
    };
    complex_f a_alone;
    {
        scene a(23, search_driver::thread);
        a.resize(width, height);
        a_alone = first_rose(a);
    }
    ASSERT_NE(a_alone, complex_f());
    scene a(23, search_driver::thread);
    scene b(24, search_driver::thread);
    b.resize(width, height);
    a.resize(width, height);
    const complex_f b_first = first_rose(b);
    EXPECT_EQ(first_rose(a), a_alone);
    EXPECT_NE(b_first, a_alone);
}

// A host without threads runs the search in slices between frames, and the
// roses come all the same.
TEST_F(Scene, SlicesBetweenFramesShowRoses) {
    scene s(29, search_driver::slices);
    s.resize(width, height);
    EXPECT_FALSE(s.worker_started());
    for (int frame = 0; frame < 2000 && s.root().roses.rose_count.load() == 0; ++frame) {
        s.draw_frame();
        platform::sleep_ms(5);
    }
    EXPECT_EQ(s.root().roses.rose_count.load(), 1u);
}

}  // namespace
}  // namespace quillant
