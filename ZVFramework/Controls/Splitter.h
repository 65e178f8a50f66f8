#pragma once

#include "Controls/SplitterBase.h"

namespace ZV {

// A horizontal bar between controls stacked top to bottom; it moves along Y.
class LSplitterH : public LSplitterBase {
public:
    LSplitterH(const RCPtr<LControl>& parent, const WideString& name) : LSplitterBase(parent, name, kHorizontal) {}
};

// A vertical bar between controls side by side; it moves along X.
class LSplitterV : public LSplitterBase {
public:
    LSplitterV(const RCPtr<LControl>& parent, const WideString& name) : LSplitterBase(parent, name, kVertical) {}
};

}  // namespace ZV
