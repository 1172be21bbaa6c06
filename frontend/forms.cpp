#include "forms.h"

#include "form1.h"
#include "form2.h"
#include "help_window.h"

namespace velmora::frontend {

common::DefaultInstance<Form1>& Form1Form() {
    static common::DefaultInstance<Form1> instance;
    return instance;
}

common::DefaultInstance<Form2>& Form2Form() {
    static common::DefaultInstance<Form2> instance;
    return instance;
}

void ShowHelpWindow() {
    ShowHelp();
}

void UnloadHelpWindow() {
    UnloadHelp();
}

}  // namespace velmora::frontend
