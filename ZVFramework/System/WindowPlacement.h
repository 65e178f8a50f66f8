#pragma once

#include "Utilities/Storage/RectT.h"
#include "Utilities/Storage/StringT.h"

namespace ZV {

// Where the main window was when it closed (its client area on the screen), kept in a small text file in the
// per-user data folder, in a folder named after the window class; only where nobody but the user and root can change
// the folders on its way (as Platform/CheckedFolder.h asks), else one line on the standard error says why.
class WindowPlacementStore {
public:
    // A file name in the user's data folder; a class name that is empty or could leave the folder keeps nothing.
    explicit WindowPlacementStore(const WideString& className);

    // False, said in one line, when the place cannot be kept: on the standard error when another user could turn the
    // file elsewhere, else on the debug output.
    bool Save(const RectT<zlong>& bounds) const;
    // False when nothing sound is kept: no file, text that is not four numbers, or an empty or absurd rectangle.
    bool Load(RectT<zlong>& bounds) const;

    const NarrowString& GetPath() const { return mPath; }

private:
    NarrowString mPath;
};

// The rectangle moved, keeping its size, to lie inside the area: its left and top not before the area's, then its
// right and bottom not past the area's; one wider or taller than the area lies at the area's left or top edge.
RectT<zlong> MoveIntoArea(const RectT<zlong>& rect, const RectT<zlong>& area);

}  // namespace ZV
