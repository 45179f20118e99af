// SPDX-License-Identifier: MIT
// quillant-wayland --idle's D-Bus side against stand-ins of UPower, GNOME's
// session manager and Mutter's idle monitor on a private bus, which serves
// as both the session and the system bus; and its claim of the display.
#include "wayland/desktop_bus.h"
#include "wayland/display_claim.h"
#include "wayland/gnome_idle.h"
#include "wayland/upower_battery.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

extern char** environ;

namespace quillant {
namespace {

// Starts the program with its standard input and output on pipes of ours.
struct child {
    pid_t pid = -1;
    FILE* input = nullptr;
    FILE* output = nullptr;

    // Its standard error goes to /dev/null when `quiet`.
    explicit child(const std::vector<std::string>& command, bool quiet = false) {
        int to[2], from[2];
        // Not inherited by the other children the test starts.
        if (pipe2(to, O_CLOEXEC) != 0 || pipe2(from, O_CLOEXEC) != 0) return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, to[0], STDIN_FILENO);
        posix_spawn_file_actions_adddup2(&actions, from[1], STDOUT_FILENO);
        for (int fd : {to[0], to[1], from[0], from[1]}) posix_spawn_file_actions_addclose(&actions, fd);
        if (quiet) posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
        std::vector<char*> arguments;
        for (const std::string& word : command) arguments.push_back(const_cast<char*>(word.c_str()));
        arguments.push_back(nullptr);
        if (posix_spawnp(&pid, arguments[0], &actions, nullptr, arguments.data(), environ) != 0) pid = -1;
        posix_spawn_file_actions_destroy(&actions);
        close(to[0]);
        close(from[1]);
        input = fdopen(to[1], "w");
        output = fdopen(from[0], "r");
    }
    ~child() {
        if (input != nullptr) std::fclose(input);
        if (output != nullptr) std::fclose(output);
        if (pid > 0) {
            kill(pid, SIGTERM);
            waitpid(pid, nullptr, 0);
        }
    }
    // The next line it writes, without its end; "" when it ended.
    std::string line() {
        char text[256];
        if (output == nullptr || std::fgets(text, sizeof text, output) == nullptr) return "";
        std::string read = text;
        if (!read.empty() && read.back() == '\n') read.pop_back();
        return read;
    }
    // Gives the stand-in a command, and waits until it is done.
    void say(const char* command) {
        std::fprintf(input, "%s\n", command);
        std::fflush(input);
        EXPECT_EQ(line(), command);
    }
};

class IdleBus : public ::testing::Test {
protected:
    void SetUp() override {
        char folder[] = "/tmp/quillant-idle-bus.XXXXXX";
        ASSERT_NE(mkdtemp(folder), nullptr);
        folder_ = folder;
        const std::string socket = folder_ + "/bus";
        daemon_ = std::make_unique<child>(std::vector<std::string>{
            "dbus-daemon", "--session", "--nofork", "--address=unix:path=" + socket}, true);
        struct stat made{};
        for (int tries = 0; tries < 100 && stat(socket.c_str(), &made) != 0; ++tries) usleep(100000);
        ASSERT_EQ(stat(socket.c_str(), &made), 0) << "no private bus";
        setenv("DBUS_SESSION_BUS_ADDRESS", ("unix:path=" + socket).c_str(), 1);
        setenv("DBUS_SYSTEM_BUS_ADDRESS", ("unix:path=" + socket).c_str(), 1);
        bus_ = desktop_bus::session();
        ASSERT_NE(bus_, nullptr);
    }
    void TearDown() override {
        bus_.reset();
        stand_in_.reset();
        daemon_.reset();
        unsetenv("DBUS_SESSION_BUS_ADDRESS");
        unsetenv("DBUS_SYSTEM_BUS_ADDRESS");
        std::system(("rm -rf " + folder_).c_str());
    }

    // Starts the stand-in of the services named, once they are served.
    void stand_in(std::vector<std::string> services) {
        services.insert(services.begin(), BUS_STAND_IN);
        stand_in_ = std::make_unique<child>(services);
        ASSERT_EQ(stand_in_->line(), "ready");
    }

    // Drives the bus as the client's loop does until `count` events were
    // heard and nothing is pending (no call unanswered), for at most 10 s.
    void drive(std::size_t count) {
        for (int turns = 0; turns < 200; ++turns) {
            const bool done = heard_.size() >= count && bus_->timeout_ms(0) < 0;
            if (done && turns > 0) return;
            pollfd watched = bus_->watched();
            poll(&watched, 1, 50);
            ASSERT_TRUE(bus_->process());
        }
    }

    // The events heard since the last look.
    std::vector<idle_event> take() {
        std::vector<idle_event> taken;
        taken.swap(heard_);
        return taken;
    }

    std::string folder_;
    std::unique_ptr<child> daemon_;
    std::unique_ptr<child> stand_in_;
    std::unique_ptr<desktop_bus> bus_;
    std::vector<idle_event> heard_;
};

using events = std::vector<idle_event>;

TEST_F(IdleBus, UPowerIsAskedAndFollowedAndWithoutItNothingIsHeard) {
    auto nothing = upower_battery::follow(*bus_, heard_);
    ASSERT_NE(nothing, nullptr);
    drive(0);
    EXPECT_EQ(take(), events{}) << "no UPower: mains, said by nothing";
    EXPECT_EQ(bus_->timeout_ms(0), -1) << "nothing pending once answered";
    nothing.reset();

    stand_in({"upower"});
    auto battery = upower_battery::follow(*bus_, heard_);
    drive(1);
    EXPECT_EQ(stand_in_->line(), "OnBattery: no");
    EXPECT_EQ(take(), events{idle_event::on_mains});
    stand_in_->say("battery");
    drive(1);
    stand_in_->say("mains");
    drive(2);
    EXPECT_EQ(take(), (events{idle_event::on_battery, idle_event::on_mains}));
    EXPECT_EQ(bus_->timeout_ms(0), -1);
}

// Any client of the system bus may send signals: a change of OnBattery is
// heard from UPower alone, whether the forger sends it to all or to this
// connection alone. UPower gone, mains power is taken; back, it is asked
// again.
TEST_F(IdleBus, OnlyUPowerItselfIsHeardAndItsLeavingMeansMains) {
    stand_in({"upower"});
    auto battery = upower_battery::follow(*bus_, heard_);
    drive(1);
    EXPECT_EQ(stand_in_->line(), "OnBattery: no");
    EXPECT_EQ(take(), events{idle_event::on_mains});
    stand_in_->say("forge battery");
    drive(0);
    EXPECT_EQ(take(), events{}) << "another client's word was taken";
    stand_in_->say("battery");
    drive(1);
    EXPECT_EQ(take(), events{idle_event::on_battery});

    stand_in_.reset();
    drive(1);
    EXPECT_EQ(take(), events{idle_event::on_mains}) << "UPower left";
    stand_in({"upower"});
    drive(1);
    EXPECT_EQ(stand_in_->line(), "OnBattery: no") << "not asked once back";
    EXPECT_EQ(take(), events{idle_event::on_mains});
    stand_in_->say("battery");
    drive(1);
    EXPECT_EQ(take(), events{idle_event::on_battery}) << "the new UPower not heard";
}

TEST_F(IdleBus, WithoutMuttersIdleMonitorNoWatchIsMade) {
    std::string why;
    bool absent = false;
    EXPECT_EQ(gnome_idle::watch(*bus_, 2, heard_, why, absent), nullptr);
    EXPECT_TRUE(absent);
    EXPECT_NE(why.find("org.gnome.Mutter.IdleMonitor"), std::string::npos) << why;
}

// A monitor that is there but slow is asked again; one that fails is not
// taken for a desktop without one.
TEST_F(IdleBus, ASlowMonitorIsAskedAgainAndAFailingOneSaysWhy) {
    stand_in({"idle-monitor-slow"});
    std::string why;
    bool absent = true;
    auto gnome = gnome_idle::watch(*bus_, 2, heard_, why, absent, 300000);
    EXPECT_NE(gnome, nullptr) << why;
    EXPECT_EQ(stand_in_->line(), "AddIdleWatch: not answered");
    EXPECT_EQ(stand_in_->line(), "AddIdleWatch");
    gnome.reset();
    stand_in_.reset();

    stand_in({"idle-monitor-refusing"});
    absent = true;
    EXPECT_EQ(gnome_idle::watch(*bus_, 2, heard_, why, absent, 300000), nullptr);
    EXPECT_FALSE(absent);
    EXPECT_EQ(why, "no watches for you");
    EXPECT_EQ(stand_in_->line(), "AddIdleWatch: refused");
}

TEST_F(IdleBus, MuttersWatchesSayIdleAndBackAndTheSessionManagerIsAsked) {
    stand_in({"idle-monitor", "session-manager"});
    std::string why;
    bool absent = false;
    auto gnome = gnome_idle::watch(*bus_, 2, heard_, why, absent);
    ASSERT_NE(gnome, nullptr) << why;
    EXPECT_EQ(stand_in_->line(), "AddIdleWatch");
    // Another client firing the watch, to all or to this connection, is not
    // Mutter.
    stand_in_->say("forge idle");
    drive(0);
    EXPECT_EQ(take(), events{}) << "another client fired the watch";
    for (int round = 0; round < 2; ++round) {
        stand_in_->say("idle");
        drive(1);
        EXPECT_EQ(stand_in_->line(), "AddUserActiveWatch") << "round " << round;
        stand_in_->say("active");
        drive(2);
        EXPECT_EQ(take(), (events{idle_event::idle, idle_event::active})) << "round " << round;
    }
    // The user-active watch was one-shot: a second "active" says nothing.
    stand_in_->say("active");
    drive(0);
    EXPECT_EQ(take(), events{});

    gnome->ask_inhibition();
    drive(1);
    EXPECT_EQ(stand_in_->line(), "IsInhibited 8: no");
    stand_in_->say("inhibit");
    gnome->ask_inhibition();
    drive(2);
    EXPECT_EQ(stand_in_->line(), "IsInhibited 8: yes");
    stand_in_->say("release");
    drive(3);
    EXPECT_EQ(take(), (events{idle_event::not_inhibited, idle_event::inhibited,
                              idle_event::inhibitor_removed}));
    EXPECT_EQ(bus_->timeout_ms(0), -1) << "nothing pending while waiting";
}

TEST_F(IdleBus, ASessionWithoutSessionManagerHoldsNothingBack) {
    stand_in({"idle-monitor"});
    std::string why;
    bool absent = false;
    auto gnome = gnome_idle::watch(*bus_, 300, heard_, why, absent);
    ASSERT_NE(gnome, nullptr) << why;
    gnome->ask_inhibition();
    // A second question drops the answer to the first.
    gnome->ask_inhibition();
    drive(1);
    EXPECT_EQ(take(), events{idle_event::not_inhibited});
}

TEST_F(IdleBus, OneClaimForEachDisplayNamingTheProcessThatHoldsIt) {
    setenv("XDG_RUNTIME_DIR", folder_.c_str(), 1);
    setenv("WAYLAND_DISPLAY", "wayland-7", 1);
    auto held = std::make_unique<display_claim>();
    EXPECT_EQ(held->refusal(), "");
    // Another process for the same display is told who holds it.
    int answer[2];
    ASSERT_EQ(pipe(answer), 0);
    const pid_t other = fork();
    if (other == 0) {
        display_claim refused;
        const std::string line = refused.refusal();
        _exit(write(answer[1], line.data(), line.size()) < 0);
    }
    close(answer[1]);
    char text[200] = {};
    ASSERT_GT(read(answer[0], text, sizeof text - 1), 0);
    close(answer[0]);
    waitpid(other, nullptr, 0);
    EXPECT_EQ(std::string(text),
              "--idle already runs for 'wayland-7': process " + std::to_string(getpid()));
    // Another display is free; the held one is free again once let go.
    setenv("WAYLAND_DISPLAY", "/run/elsewhere/wayland-7", 1);
    EXPECT_EQ(display_claim().refusal(), "");
    setenv("WAYLAND_DISPLAY", "wayland-7", 1);
    held.reset();
    EXPECT_EQ(display_claim().refusal(), "");
    unsetenv("WAYLAND_DISPLAY");
    unsetenv("XDG_RUNTIME_DIR");
}

// Where another user could have put a link, a FIFO or a folder of their
// own, the claim is refused with why, never followed, blocked on or taken.
TEST_F(IdleBus, TheClaimIsAPlainFileInAFolderOfTheUsersAlone) {
    setenv("XDG_RUNTIME_DIR", folder_.c_str(), 1);
    const std::string lock = folder_ + "/quillant-wayland-idle.wayland-8.lock";
    setenv("WAYLAND_DISPLAY", "wayland-8", 1);
    const std::string target = folder_ + "/target";
    ASSERT_EQ(symlink(target.c_str(), lock.c_str()), 0);
    EXPECT_NE(display_claim().refusal().find("cannot open"), std::string::npos);
    EXPECT_NE(access(target.c_str(), F_OK), 0) << "the link was followed";
    ASSERT_EQ(unlink(lock.c_str()), 0);
    ASSERT_EQ(mkfifo(lock.c_str(), 0600), 0);
    EXPECT_NE(display_claim().refusal().find("not a plain file"), std::string::npos);
    ASSERT_EQ(unlink(lock.c_str()), 0);
    EXPECT_EQ(display_claim().refusal(), "");

    ASSERT_EQ(chmod(folder_.c_str(), 0755), 0);
    EXPECT_NE(display_claim().refusal().find("not a folder of this user's alone"), std::string::npos);
    ASSERT_EQ(chmod(folder_.c_str(), 0700), 0);
    const std::string linked = folder_ + "-link";
    ASSERT_EQ(symlink(folder_.c_str(), linked.c_str()), 0);
    setenv("XDG_RUNTIME_DIR", linked.c_str(), 1);
    EXPECT_NE(display_claim().refusal().find("not a folder of this user's alone"), std::string::npos);
    unlink(linked.c_str());
    unsetenv("WAYLAND_DISPLAY");
    unsetenv("XDG_RUNTIME_DIR");
}

}  // namespace
}  // namespace quillant
