#pragma once

#include "window_helpers.h"

namespace velmora {

class BangZhu;

// The program's one help window, created and loaded when first asked for.
common::DefaultInstance<BangZhu>& BangZhuForm();

// The main window's "帮助" label: shows the help window modeless (loading it when needed),
// then fills it from "Help.lib".
void ShowHelp();

// The main window's shut-down, and the start of a job that shows the progress window: unloads
// the help window; does nothing when it is not loaded.
void UnloadHelp();

}  // namespace velmora
