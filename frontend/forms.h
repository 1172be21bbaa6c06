#pragma once

#include "window_helpers.h"

// The default instances of Velmora's windows: each is created and loaded when first asked for
// and gone again once unloaded.
namespace velmora::frontend {

class Form1;
class Form2;

common::DefaultInstance<Form1>& Form1Form();
common::DefaultInstance<Form2>& Form2Form();

// The help window's hooks. It arrives with its own window later; until then "帮助" opens
// nothing and unloading it does nothing.
void ShowHelpWindow();
void UnloadHelpWindow();

}  // namespace velmora::frontend
