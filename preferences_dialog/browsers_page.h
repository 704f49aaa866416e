// SPDX-License-Identifier: MIT
#pragma once

#include "preferences_dialog/more_page.h"

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zaptrove {

// The "Browsers" page: every browser profile found with its bookmark count or
// why it cannot be read, a switch for the chosen profile (shown while a
// profile found is chosen), a switch per browser, and the two hand-added
// locations (a Firefox profile folder, a Chromium-family Bookmarks file), each
// with a "Browse…" button and a warning, whose tooltip says why, while the
// path cannot be read (it is stored all the same).
class BrowsersPage final : public MorePage {
  public:
    explicit BrowsersPage(platform::forms::Form& pDialog);

    platform::forms::Frame& frame() override { return fraBrowsers; }
    void load(const Settings& pSettings) override;
    void store(Settings& pSettings) const override;
    void lstProfiles_Click();
    void cmdBrowse_Click(std::size_t pRow);
    void txtBrowserAlt_Change(std::size_t pRow);

    // The system's dialog that chooses a path; tests answer in its place.
    std::function<std::optional<std::string>(const platform::forms::Form&, std::string_view,
                                             std::string_view, bool)>
        choosePath = &platform::forms::choosePath;

    platform::forms::Frame fraBrowsers;
    platform::forms::Label lblProfiles;
    platform::forms::ListBox lstProfiles;
    platform::forms::CheckBox chkProfile;
    platform::forms::Label lblRead;
    std::array<platform::forms::CheckBox, 7> chkBrowser; // in the order of kBrowsers
    std::array<platform::forms::Label, 2> lblBrowserAlt; // Firefox, then Chromium family
    std::array<platform::forms::TextBox, 2> txtBrowserAlt;
    std::array<platform::forms::Label, 2> lblBrowserAltProblem;
    std::array<platform::forms::CommandButton, 2> cmdBrowse;
    std::array<platform::forms::CheckBox, 2> chkBrowserAlt;

  private:
    const platform::forms::Form& dialog_;
    // The profiles switched off, with the chosen one's switch as it stands.
    std::vector<std::string> profilesOff() const;

    std::vector<std::string> folders_;     // of the listed profiles, for their tooltips
    std::vector<bool> found_;              // by row: a profile found, not added by hand
    std::vector<std::string> profilesOff_; // as they stood when the chosen row was chosen
    int chosen_ = -1;                      // the row chkProfile stands for
};

} // namespace zaptrove
