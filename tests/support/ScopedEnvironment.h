#pragma once

#include <cstdlib>
#include <map>
#include <optional>
#include <string>

namespace ZV::Testing {

// Environment variables set for one test and put back as they were afterwards.
class ScopedEnvironment {
public:
    ScopedEnvironment() = default;
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;
    ~ScopedEnvironment()
    {
        for (const auto& [name, value] : mSaved) {
            if (value) {
                setenv(name.c_str(), value->c_str(), 1);
            } else {
                unsetenv(name.c_str());
            }
        }
    }

    // Null unsets the variable.
    void Set(const std::string& name, const char* value)
    {
        if (mSaved.find(name) == mSaved.end()) {
            const char* old = std::getenv(name.c_str());
            mSaved[name] = old != nullptr ? std::optional<std::string>(old) : std::nullopt;
        }
        if (value != nullptr) {
            setenv(name.c_str(), value, 1);
        } else {
            unsetenv(name.c_str());
        }
    }

private:
    std::map<std::string, std::optional<std::string>> mSaved;
};

}  // namespace ZV::Testing
