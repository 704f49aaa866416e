// SPDX-License-Identifier: MIT
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

// One running program per user session: the first start holds the session's
// instance, and every later start asks it to show its window, then ends.
namespace zaptrove::platform {

// The first start's hold on the instance; released when destroyed (or when
// the process ends, however it ends).
class InstanceClaim {
  public:
    InstanceClaim() = default;
    explicit InstanceClaim(std::string pProblem) : problem_(std::move(pProblem)) {}
    virtual ~InstanceClaim() = default;
    // Why no instance could be claimed, for the diagnostic log; empty when one was.
    const std::string& problem() const { return problem_; }

  private:
    std::string problem_;
};

// Claims the instance for pScope, the settings file's path (programs with
// different settings files do not meet; on POSIX every spelling of one file's
// path, and links to it, name the same instance). When another process of this user
// session holds it, asks that process to show itself and answers nullptr: the
// caller then ends. Otherwise answers the claim, which calls pShow each time a
// later start asks, on a thread of its own (POSIX) or the window thread
// (Windows). When the session offers no place for an instance (or the holder
// never answers), the program still starts: a claim that listens to nothing
// and tells why.
std::unique_ptr<InstanceClaim> claimInstance(std::string_view pScope, std::function<void()> pShow);

} // namespace zaptrove::platform
