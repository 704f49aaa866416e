// SPDX-License-Identifier: MIT
#include "forms/forms.h"

#include <gtest/gtest.h>

#include <cstdlib>

// The main of test programs that open windows: one Application serves all
// their tests. Windows open offscreen, at 96 dots per inch, unless
// QT_QPA_PLATFORM names another platform.
int main(int argc, char** argv) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) {
#ifdef _WIN32
        _putenv_s("QT_QPA_PLATFORM", "offscreen");
#else
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
#endif
    }
    testing::InitGoogleTest(&argc, argv);
    zaptrove::platform::forms::Application application(argc, argv);
    return RUN_ALL_TESTS();
}
