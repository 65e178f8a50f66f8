#pragma once

#include <cstdlib>
#include <optional>
#include <string>

namespace ZV::Testing {

// Clears the locale variables that name the user's language for one test, and puts the old values back afterwards.
class LocaleEnvironment {
public:
    LocaleEnvironment()
    {
        for (int i = 0; i < kCount; ++i) {
            const char* value = std::getenv(kNames[i]);
            mSaved[i] = value != nullptr ? std::optional<std::string>(value) : std::nullopt;
            unsetenv(kNames[i]);
        }
    }
    LocaleEnvironment(const LocaleEnvironment&) = delete;
    LocaleEnvironment& operator=(const LocaleEnvironment&) = delete;
    ~LocaleEnvironment()
    {
        for (int i = 0; i < kCount; ++i) {
            Set(kNames[i], mSaved[i] ? mSaved[i]->c_str() : nullptr);
        }
    }

    // Null unsets the variable.
    static void Set(const char* name, const char* value)
    {
        if (value != nullptr) {
            setenv(name, value, 1);
        } else {
            unsetenv(name);
        }
    }

private:
    static constexpr int kCount = 3;
    static constexpr const char* kNames[kCount] = {"LC_ALL", "LC_MESSAGES", "LANG"};
    std::optional<std::string> mSaved[kCount];
};

}  // namespace ZV::Testing
