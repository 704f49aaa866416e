// SPDX-License-Identifier: MIT
#pragma once

#include <functional>
#include <memory>
#include <string_view>

// One running program per user session: the first start holds the session's
// instance, and every later start asks it to show its window, then ends.
namespace zaptrove::platform {

// The first start's hold on the instance; released when destroyed (or when
// the process ends, however it ends).
class InstanceClaim {
  public:
    virtual ~InstanceClaim() = default;
};

// Claims the instance for pScope (programs with different scopes, such as
// different settings files, do not meet). When another process of this user
// session holds it, asks that process to show itself and answers nullptr: the
// caller then ends. Otherwise answers the claim, which calls pShow each time a
// later start asks, on a thread of its own (POSIX) or the window thread
// (Windows). When the session offers no place for an instance (or the holder
// never answers), the program still starts: a claim that listens to nothing.
std::unique_ptr<InstanceClaim> claimInstance(std::string_view pScope, std::function<void()> pShow);

} // namespace zaptrove::platform
