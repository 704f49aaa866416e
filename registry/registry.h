// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// The registry: keys below a root hold typed, named values. On Windows this is
// the real registry; elsewhere a per-user hive file in the registry export format.
namespace zaptrove::platform {

// The roots keys hang from, numbered as the Windows registry numbers them.
enum class RegistryRoot : std::uint32_t {
    ClassesRoot = 0x80000000u,
    CurrentUser = 0x80000001u,
    LocalMachine = 0x80000002u,
    Users = 0x80000003u,
};

// Value types, numbered as the Windows registry numbers them (any other number
// is a type the program only carries along).
struct RegistryType {
    static constexpr std::uint32_t String = 1;
    static constexpr std::uint32_t Binary = 3;
    static constexpr std::uint32_t Dword = 4;
};

// An open key; 0 is no key, and every operation on it fails.
using KeyHandle = std::int64_t;

struct RegistryValue {
    std::uint32_t type = RegistryType::String;
    std::string text;               // String: UTF-8, without a terminating NUL
    std::uint32_t number = 0;       // Dword
    std::vector<std::uint8_t> data; // any other type: the raw bytes

    static RegistryValue ofText(std::string_view text);
    static RegistryValue ofNumber(std::int32_t number);
    bool operator==(const RegistryValue&) const = default;
};

class Registry {
  public:
    virtual ~Registry() = default;

    // Opens an existing key; 0 when it does not exist.
    virtual KeyHandle openKey(RegistryRoot root, std::string_view path) = 0;
    // Opens a key, creating it and its parents when missing; 0 on failure.
    virtual KeyHandle createKey(RegistryRoot root, std::string_view path) = 0;
    // 0 and the value on success; non-zero when the key or value is missing.
    virtual std::int32_t queryValue(KeyHandle key, std::string_view name, RegistryValue& value) = 0;
    // 0 on success.
    virtual std::int32_t setValue(KeyHandle key, std::string_view name,
                                  const RegistryValue& value) = 0;
    virtual void deleteValue(KeyHandle key, std::string_view name) = 0;
    virtual void deleteKey(RegistryRoot root, std::string_view path) = 0;
    virtual void closeKey(KeyHandle key) = 0;

    // Between these two calls, changes reach the store as one: another program
    // reading it sees all of them or none.
    virtual void beginUpdate() {}
    virtual void endUpdate() {}

    // The problems met with the store since the last call, one sentence each,
    // for the diagnostic log: a file that cannot be used, a line that cannot be
    // read, a lock that cannot be taken.
    virtual std::vector<std::string> takeProblems() { return {}; }
};

// The current user's registry: on POSIX the hive file named by pHivePath, or by
// $ZAPTROVE_REGISTRY, or $XDG_CONFIG_HOME/zaptrove/registry.reg
// (~/.config/zaptrove/registry.reg) when pHivePath is empty; on Windows the real
// one, whatever pHivePath says.
std::unique_ptr<Registry> openUserRegistry(std::string_view pHivePath = {});

// True where the user's registry is a hive file that openUserRegistry can be
// pointed at; the real registry on Windows has no file to name.
bool registryIsHiveFile();

// Groups the changes made during its lifetime into one update.
class RegistryUpdate {
  public:
    explicit RegistryUpdate(Registry& registry) : registry_(registry) { registry_.beginUpdate(); }
    ~RegistryUpdate() { registry_.endUpdate(); }
    RegistryUpdate(const RegistryUpdate&) = delete;
    RegistryUpdate& operator=(const RegistryUpdate&) = delete;

  private:
    Registry& registry_;
};

} // namespace zaptrove::platform
