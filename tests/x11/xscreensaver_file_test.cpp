// SPDX-License-Identifier: MIT
#include "x11/xscreensaver_file.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

namespace quillant {
namespace {

const std::string settings =
    "mode:\t\tone\n"
    "programs:\t\t\t\t\t\t\t\t      \\\n"
    "\t\t\t\tmaze -root\t\t\t\t    \\n\\\n"
    "\n"
    "pointerHysteresis:\t10\n";

std::string read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void write(const std::string& path, const std::string& text, mode_t mode) {
    std::ofstream(path, std::ios::binary) << text;
    chmod(path.c_str(), mode);
}

mode_t mode_of(const std::string& path) {
    struct stat status {};
    lstat(path.c_str(), &status);
    return status.st_mode & 07777;
}

// A home folder of the test's own, removed afterwards.
class XScreenSaverFile : public ::testing::Test {
protected:
    void SetUp() override {
        char name[] = "/tmp/quillant-home-XXXXXX";
        ASSERT_NE(mkdtemp(name), nullptr);
        home = name;
        path = home + "/.xscreensaver";
    }
    void TearDown() override {
        chmod(home.c_str(), 0755);
        std::system(("rm -rf '" + home + "'").c_str());
    }

    // The names in the home folder: nothing may be left beside the file.
    std::set<std::string> names() const {
        std::set<std::string> found;
        DIR* folder = opendir(home.c_str());
        while (const dirent* entry = readdir(folder)) {
            if (entry->d_name[0] != '.' || entry->d_name[1] == 'x') found.insert(entry->d_name);
        }
        closedir(folder);
        return found;
    }

    // Adds the hack in a process of its own, as the hack's command does,
    // with a limit on the size of the files it may write, and as root or as
    // nobody; its exit status.
    int add_within(rlim_t largest_file, bool as_nobody = false) {
        const pid_t child = fork();
        if (child == 0) {
            if (as_nobody && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(99);
            signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{largest_file, largest_file};
            setrlimit(RLIMIT_FSIZE, &limit);
            std::freopen("/dev/null", "w", stderr);
            std::freopen("/dev/null", "w", stdout);
            _exit(add_to_xscreensaver_file(home));
        }
        int status = 0;
        waitpid(child, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    std::string home;
    std::string path;
};

// The hack is added, the old text kept in the backup, each with the old
// file's permissions, and nothing else is left in the folder.
TEST_F(XScreenSaverFile, KeepsThePermissionsAndLeavesNothingBehind) {
    for (const mode_t mode : {0600, 0644}) {
        write(path, settings, mode);
        write(path + ".bak", "an old backup\n", 0444);  // read-only: replaced all the same
        ASSERT_EQ(add_within(RLIM_INFINITY), 0) << std::oct << mode;
        EXPECT_NE(read(path).find("quillant --root"), std::string::npos);
        EXPECT_EQ(read(path + ".bak"), settings);
        EXPECT_EQ(mode_of(path), mode) << std::oct << mode;
        EXPECT_EQ(mode_of(path + ".bak"), mode) << std::oct << mode;
        EXPECT_EQ(names(), (std::set<std::string>{".xscreensaver", ".xscreensaver.bak"}));
    }
    // Root editing another user's file leaves it theirs.
    if (geteuid() == 0) {
        write(path, settings, 0600);
        ASSERT_EQ(chown(path.c_str(), 65534, 65534), 0);
        ASSERT_EQ(add_within(RLIM_INFINITY), 0);
        struct stat status {};
        stat(path.c_str(), &status);
        EXPECT_EQ(status.st_uid, 65534u);
        EXPECT_EQ(status.st_gid, 65534u);
    }
}

// A link into a folder of dotfiles stays a link; the file it names changes.
TEST_F(XScreenSaverFile, ALinkStaysALink) {
    const std::string dotfiles = home + "/dotfiles";
    mkdir(dotfiles.c_str(), 0755);
    write(dotfiles + "/xscreensaver", settings, 0600);
    ASSERT_EQ(symlink((dotfiles + "/xscreensaver").c_str(), path.c_str()), 0);
    ASSERT_EQ(add_within(RLIM_INFINITY), 0);
    struct stat status {};
    lstat(path.c_str(), &status);
    EXPECT_TRUE(S_ISLNK(status.st_mode));
    EXPECT_NE(read(dotfiles + "/xscreensaver").find("quillant --root"), std::string::npos);
    EXPECT_EQ(mode_of(dotfiles + "/xscreensaver"), 0600u);
}

// Whatever fails, the file is as it was, byte for byte, no new file is left
// beside it, and the command says so with status 1.
TEST_F(XScreenSaverFile, EveryFailureLeavesTheFileAsItWas) {
    // A full disk: room for the backup, which is as long as the old text,
    // but not for the new text.
    write(path, settings, 0644);
    EXPECT_EQ(add_within(settings.size() + 10), 1);
    EXPECT_EQ(read(path), settings);
    EXPECT_EQ(names(), (std::set<std::string>{".xscreensaver", ".xscreensaver.bak"}));

    // A read-only file.
    write(path, settings, 0444);
    EXPECT_EQ(add_within(RLIM_INFINITY), 1);
    EXPECT_EQ(read(path), settings);
    chmod(path.c_str(), 0644);

    // A folder that cannot be written: root may write anywhere, so as root
    // the edit runs as nobody, whom a folder of root's refuses.
    std::remove((path + ".bak").c_str());
    chmod(home.c_str(), 0555);
    EXPECT_EQ(add_within(RLIM_INFINITY, geteuid() == 0), 1);
    chmod(home.c_str(), 0755);
    EXPECT_EQ(read(path), settings);
    EXPECT_EQ(names(), (std::set<std::string>{".xscreensaver"}));
    add_within(RLIM_INFINITY);
    EXPECT_EQ(names(), (std::set<std::string>{".xscreensaver", ".xscreensaver.bak"}));
}

// Someone else wrote the file between its reading and its replacement: that
// text stays.
TEST_F(XScreenSaverFile, AFileChangedUnderTheEditIsLeftAlone) {
    write(path, settings, 0600);
    const std::string theirs = settings + "timeout:\t0:05:00\n";
    write(path, theirs, 0600);
    const std::string why = replace_text(path, settings, "ours\n");
    EXPECT_EQ(why, path + " changed while it was being edited");
    EXPECT_EQ(read(path), theirs);
    EXPECT_EQ(names(), (std::set<std::string>{".xscreensaver"}));
    EXPECT_EQ(replace_text(path, theirs, "ours\n"), "");
    EXPECT_EQ(read(path), "ours\n");
    EXPECT_EQ(mode_of(path), 0600u);
}

}  // namespace
}  // namespace quillant
