// SPDX-License-Identifier: MIT
#pragma once

#include "preferences_dialog/more_page.h"

namespace zaptrove {

// The "List" page: what the result list tells of each bookmark beyond its
// name and address, whether copies of one address share a row, and whether
// the rows are ordered by use.
class ListPage final : public MorePage {
  public:
    explicit ListPage(platform::forms::Form& pDialog);

    platform::forms::Frame& frame() override { return fraList; }
    void load(const Settings& pSettings) override;
    void store(Settings& pSettings) const override;

    platform::forms::Frame fraList;
    platform::forms::CheckBox chkHoverTip;
    platform::forms::Label lblHoverTip;
    platform::forms::CheckBox chkShowWhere;
    platform::forms::Label lblShowWhere;
    platform::forms::CheckBox chkMergeCopies;
    platform::forms::Label lblMergeCopies;
    platform::forms::CheckBox chkRankByUse;
    platform::forms::Label lblRankByUse;
};

} // namespace zaptrove
