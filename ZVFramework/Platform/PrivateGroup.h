#pragma once

#include <sys/stat.h>
#include <sys/types.h>

namespace ZV::Platform {

// Whether the group is the owner's private group, as desktops give each user one (the group of their own name, which
// with a umask of 002 may write all they make): by the account database, no account but the owner has it as its
// primary group, its member list names nobody but the owner, and the owner is in it one way or the other. As OpenSSH
// judges a group-writable key's path. A group or owner the database does not know, and a group with no member at all
// (as those of set-group-id programs are), are not. The database is read once for each owner and group.
bool IsPrivateGroup(uid_t owner, gid_t group);

// Who besides its owner may write a file or folder.
enum class OtherWriters {
    none,
    // Its group, which is not its owner's private group.
    sharedGroup,
    everyone,
};
OtherWriters FindOtherWriters(const struct stat& status);

}  // namespace ZV::Platform
