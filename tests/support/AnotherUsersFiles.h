#pragma once

#include <sys/inotify.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace ZV::Testing {

// A user id that no account on the machine has, standing for another user: root's tests hand it files.
inline constexpr uid_t kAnotherUser = 54321;

// The folder and all it holds, links themselves and all, become the other user's.
inline void GiveToAnotherUser(const std::string& path)
{
    for (const std::filesystem::directory_entry& entry : std::filesystem::recursive_directory_iterator(path)) {
        ASSERT_EQ(lchown(entry.path().c_str(), kAnotherUser, kAnotherUser), 0) << entry.path();
    }
    ASSERT_EQ(lchown(path.c_str(), kAnotherUser, kAnotherUser), 0) << path;
}

// Whether anything opened a folder watched (to list it) or a file in it, from the watch's making on.
class OpenWatch {
public:
    explicit OpenWatch(const std::string& folder) : mDescriptor(inotify_init1(IN_NONBLOCK | IN_CLOEXEC))
    {
        EXPECT_GE(inotify_add_watch(mDescriptor, folder.c_str(), IN_OPEN), 0) << folder;
    }
    OpenWatch(const OpenWatch&) = delete;
    OpenWatch& operator=(const OpenWatch&) = delete;
    ~OpenWatch() { close(mDescriptor); }

    bool SawAnOpen() const
    {
        char events[4096];
        return read(mDescriptor, events, sizeof events) > 0;
    }

private:
    int mDescriptor;
};

}  // namespace ZV::Testing
