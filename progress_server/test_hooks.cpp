#include "test_hooks.h"

namespace pellorin {

bool TestHooks::ClickCancel() {
    Form1* form = window_.peek();
    if (!form || !form->isVisible()) return false;
    form->Command1->click();
    return true;
}

bool TestHooks::CloseWindow() {
    Form1* form = window_.peek();
    if (!form || !form->isVisible()) return false;
    form->close();
    return true;
}

bool TestHooks::WindowShown() {
    Form1* form = window_.peek();
    return form && form->isVisible();
}

}  // namespace pellorin
