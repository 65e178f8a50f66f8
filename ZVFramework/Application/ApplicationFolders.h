#pragma once

#include "Utilities/Storage/StringT.h"

#include <cstdint>

namespace ZV {

// The folders the application knows by number.
enum ApplicationFolderId : std::int32_t {
    // The folder of the program's file.
    kProgramFolder = 0,
    // "::", which makes the resource loaders read the resources built into the program.
    kResourceFolder = 1,
    // The settings folder ($XDG_CONFIG_HOME) and the data folder ($XDG_DATA_HOME) of the user, each with a folder of
    // the company and in it one of the product.
    kSharedDataFolder = 2,
    kUserDataFolder = 3,
    // The user's documents folder.
    kDocumentsFolder = 4,
};

// The folder of the id, without a separator at its end, created with the folders above it when it is missing. The
// company and product names become folder names with every character that a file name must not hold replaced by
// '_'. Empty when the system names no such folder, when it cannot be created, when its name is not UTF-8 text (the
// framework's text would name another folder), or when another user could change it or a folder on its way (as
// Platform/CheckedFolder.h asks): nothing is then read from or written to a folder that was not meant, and one line
// says why. False for an unknown id.
bool FindApplicationFolder(std::int32_t id, const WideString& companyName, const WideString& productName,
                           WideString& path);

// For tests: a folder that the id answers instead, as it stands; an empty path ends the override.
void SetApplicationFolderOverride(std::int32_t id, const WideString& path);

}  // namespace ZV
