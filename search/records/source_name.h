// SPDX-License-Identifier: MIT
#pragma once

#include "search/records/browser_profile.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace zaptrove {

// Where a record was read from: its source (the browser's installation, or the
// label of the location) and its browser profile's name (empty for the
// locations), and for a browser the profile itself. Every record of one
// reading shares them, so a record holds one pointer. Records compare by the
// names.
class SourceName {
  public:
    SourceName() = default;
    SourceName(std::string pSource, std::string pProfile)
        : names_(std::make_shared<const Names>(
              Names{std::move(pSource), std::move(pProfile), std::nullopt})) {}
    explicit SourceName(const BrowserProfile& pBrowser)
        : names_(std::make_shared<const Names>(Names{pBrowser.install, pBrowser.name, pBrowser})) {}

    std::string_view source() const { return names_ ? names_->source : std::string_view(); }
    std::string_view profile() const { return names_ ? names_->profile : std::string_view(); }
    // The browser profile the records come from; null for the others.
    const BrowserProfile* browser() const {
        return names_ && names_->browser ? &*names_->browser : nullptr;
    }
    // For a browser's records, the browser and profile (fnBrowserSourceLabel);
    // empty for the others.
    std::string origin() const { return browser() ? fnBrowserSourceLabel(*browser()) : ""; }

    bool operator==(const SourceName& pOther) const {
        return source() == pOther.source() && profile() == pOther.profile();
    }

  private:
    struct Names {
        std::string source;
        std::string profile;
        std::optional<BrowserProfile> browser;
    };
    std::shared_ptr<const Names> names_;
};

} // namespace zaptrove
