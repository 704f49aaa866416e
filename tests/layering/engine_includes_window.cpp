// SPDX-License-Identifier: MIT
// Compiled with the engine's include folders only: it must fail, because the
// window is a layer above the engine.
#include "main_window/frm_main.h"
