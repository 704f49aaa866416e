// SPDX-License-Identifier: MIT
#pragma once

#ifndef _WIN32

#include <cstdlib>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace zaptrove::test {

// Environment variables set (or, given nothing, unset) for the object's
// lifetime; what was there before comes back when it goes.
class ScopedEnvironment {
  public:
    ScopedEnvironment() = default;
    ScopedEnvironment(
        std::initializer_list<std::pair<const char*, std::optional<std::string>>> pValues) {
        for (const auto& [name, value] : pValues)
            set(name, value);
    }
    ~ScopedEnvironment() {
        for (auto it = saved_.rbegin(); it != saved_.rend(); ++it)
            it->second ? setenv(it->first.c_str(), it->second->c_str(), 1)
                       : unsetenv(it->first.c_str());
    }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

    void set(const char* pName, const std::optional<std::string>& pValue) {
        const char* old = std::getenv(pName);
        saved_.emplace_back(pName, old ? std::optional<std::string>(old) : std::nullopt);
        pValue ? setenv(pName, pValue->c_str(), 1) : unsetenv(pName);
    }

  private:
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

} // namespace zaptrove::test

#endif
