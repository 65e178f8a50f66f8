#pragma once

namespace ZV {

// Sets a flag for a scope and clears it when the scope ends, also when an exception leaves it, so that a guard
// never stays set.
class ScopedFlag {
public:
    explicit ScopedFlag(bool& flag) : mFlag(flag) { mFlag = true; }
    ScopedFlag(const ScopedFlag&) = delete;
    ScopedFlag& operator=(const ScopedFlag&) = delete;
    ~ScopedFlag() { mFlag = false; }

private:
    bool& mFlag;
};

}  // namespace ZV
