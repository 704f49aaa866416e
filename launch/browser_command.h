// SPDX-License-Identifier: MIT
#pragma once

#include "search/records/browser_profile.h"

#include <string>
#include <vector>

namespace zaptrove {

// The arguments after a browser's program that open pAddress in pProfile: the
// Chromium family takes the profile's folder name (and its user-data folder
// unless pOwnInstall says the program uses that one already); Firefox takes the
// profile folder and "--new-tab". A private window adds the browser's own
// switch (fnPrivateWindowSwitch). The address is always the last argument, whole.
std::vector<std::string> fnBrowserArguments(const BrowserProfile& pProfile, bool pOwnInstall,
                                            bool pPrivate, const std::string& pAddress);

} // namespace zaptrove
