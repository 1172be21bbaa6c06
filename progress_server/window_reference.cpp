#include "window_reference.h"

namespace pellorin {

WindowReference::~WindowReference() {
    delete form_.data();
}

Form1& WindowReference::get() {
    if (!form_) {
        form_ = new Form1();
        connect(form_, &Form1::unloaded, this, &WindowReference::release);
    }
    return *form_;
}

void WindowReference::release() {
    Form1* old = form_;
    form_ = nullptr;
    // The unload may run inside one of the window's own handlers; it goes once they return.
    if (old) old->deleteLater();
}

}  // namespace pellorin
