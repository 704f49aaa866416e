// SPDX-License-Identifier: MIT
// Compiled with the engine's include folders only: it must compile, which shows
// the other file fails for its include alone.
#include "search/run/search_run.h"
