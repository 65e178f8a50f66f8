#include "Platform/PrivateGroup.h"

#include <grp.h>
#include <pwd.h>

#include <cerrno>
#include <cstring>
#include <map>
#include <mutex>
#include <utility>
#include <vector>

namespace ZV::Platform {

namespace {

// An entry larger than this (a group of very many members) is taken as not found.
constexpr std::size_t kLargestEntry = 4 * 1024 * 1024;

// The entry that lookUp(entry, buffer, size, found) finds, into a buffer that grows while the entry does not fit.
template <typename Entry, typename LookUp>
bool Find(Entry& entry, std::vector<char>& buffer, LookUp lookUp)
{
    for (buffer.resize(16 * 1024); buffer.size() <= kLargestEntry; buffer.resize(buffer.size() * 2)) {
        Entry* found = nullptr;
        const int error = lookUp(&entry, buffer.data(), buffer.size(), &found);
        if (error != ERANGE) {
            return error == 0 && found != nullptr;
        }
    }
    return false;
}

// Who has the group as their primary group, by a walk through the whole database. A walk that fails counts as one
// that found others: the group stays shared.
struct PrimaryMembers {
    bool owner = false;
    bool others = false;
};

PrimaryMembers FindPrimaryMembers(uid_t owner, gid_t group)
{
    PrimaryMembers members;
    passwd account{};
    std::vector<char> buffer(64 * 1024);
    setpwent();
    while (!members.others) {
        passwd* found = nullptr;
        const int error = getpwent_r(&account, buffer.data(), buffer.size(), &found);
        if (error == ENOENT || (error == 0 && found == nullptr)) {
            break;
        }
        if (error != 0) {
            members.others = true;
        } else if (account.pw_gid == group) {
            (account.pw_uid == owner ? members.owner : members.others) = true;
        }
    }
    endpwent();
    return members;
}

bool ReadWhetherPrivate(uid_t owner, gid_t group)
{
    passwd account{};
    std::vector<char> accountBuffer;
    if (!Find(account, accountBuffer, [owner](passwd* entry, char* buffer, std::size_t size, passwd** found) {
            return getpwuid_r(owner, entry, buffer, size, found);
        })) {
        return false;
    }
    struct group listed {};
    std::vector<char> groupBuffer;
    if (!Find(listed, groupBuffer, [group](struct group* entry, char* buffer, std::size_t size, struct group** found) {
            return getgrgid_r(group, entry, buffer, size, found);
        })) {
        return false;
    }
    bool listsOwner = false;
    for (char** member = listed.gr_mem; *member != nullptr; ++member) {
        if (std::strcmp(*member, account.pw_name) != 0) {
            return false;
        }
        listsOwner = true;
    }
    const PrimaryMembers primary = FindPrimaryMembers(owner, group);
    return !primary.others && (primary.owner || listsOwner);
}

}  // namespace

bool IsPrivateGroup(uid_t owner, gid_t group)
{
    // A database on the network can be slow to walk, and the same few owners and groups come again and again.
    static std::mutex mutex;
    static std::map<std::pair<uid_t, gid_t>, bool> judged;
    const std::lock_guard<std::mutex> lock(mutex);
    const auto [entry, isNew] = judged.try_emplace({owner, group}, false);
    if (isNew) {
        entry->second = ReadWhetherPrivate(owner, group);
    }
    return entry->second;
}

OtherWriters FindOtherWriters(const struct stat& status)
{
    if ((status.st_mode & S_IWOTH) != 0) {
        return OtherWriters::everyone;
    }
    if ((status.st_mode & S_IWGRP) != 0 && !IsPrivateGroup(status.st_uid, status.st_gid)) {
        return OtherWriters::sharedGroup;
    }
    return OtherWriters::none;
}

}  // namespace ZV::Platform
