// SPDX-License-Identifier: MIT
#pragma once

#include "registry/registry.h"
#include "settings/registry_values.h"
#include "support/temp_folder.h"

#include <initializer_list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace zaptrove::test {

// The registry a test works on. On POSIX a hive file in a temporary folder of
// its own. On Windows the real registry of the (throwaway) Wine prefix, shared
// by every test: test programs that use it never run at once, and the keys the
// tests write are cleared when the object is made and when it goes.
class TestRegistry {
  public:
    TestRegistry();
    ~TestRegistry();
    TestRegistry(const TestRegistry&) = delete;
    TestRegistry& operator=(const TestRegistry&) = delete;

    platform::Registry& operator*() const { return *registry_; }
    platform::Registry* operator->() const { return registry_.get(); }

    // The values under the program's settings key as "Name=value" (numbers in
    // decimal), sorted by name; the real registry gives no file order.
    std::vector<std::string> settingsValues() const;

    // Stores values under the program's settings key, as a hand-edited or
    // earlier store holds them: numbers as DWORDs, texts as strings.
    void store(std::initializer_list<std::pair<const char*, RegistryData>> values) const;

    // The arguments that point zaptrove-find at this registry: "--registry FILE"
    // on POSIX, nothing on Windows, where it always reads the real one.
    std::vector<std::string> findArguments() const;

  private:
    // The names of the values under the settings key, in any order.
    std::vector<std::string> settingsValueNames() const;
    void clearTestKeys();

    TempFolder folder_;
    std::unique_ptr<platform::Registry> registry_;
    [[maybe_unused]] std::string savedFavorites_; // Windows: the Favorites value to put back
};

} // namespace zaptrove::test
