// SPDX-License-Identifier: MIT
#pragma once

#include <cstdlib>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace zaptrove::test {

// Environment variables set (or unset) while the object lives; the old values come back after.
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
            put(it->first.c_str(), it->second);
    }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

    void set(const char* pName, const std::optional<std::string>& pValue) {
        const char* old = std::getenv(pName);
        saved_.emplace_back(pName, old ? std::optional<std::string>(old) : std::nullopt);
        put(pName, pValue);
    }

  private:
    static void put(const char* pName, const std::optional<std::string>& pValue) {
#ifdef _WIN32 // an empty value removes the variable
        _putenv_s(pName, pValue ? pValue->c_str() : "");
#else
        pValue ? setenv(pName, pValue->c_str(), 1) : unsetenv(pName);
#endif
    }

    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

} // namespace zaptrove::test
