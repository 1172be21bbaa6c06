#pragma once

#include <QObject>
#include <QPointer>

#include "form1.h"

namespace pellorin {

// The server's one global reference to the progress window. Asking for the window creates a
// fresh, unloaded object when the reference is empty; an unload, whoever starts it (a method,
// the cancel button, the close box), empties the reference so the next call starts afresh.
class WindowReference : public QObject {
    Q_OBJECT

  public:
    WindowReference() = default;
    ~WindowReference() override;

    Form1& get();
    bool empty() const { return form_ == nullptr; }
    Form1* peek() const { return form_; }

  private:
    void release();

    QPointer<Form1> form_;
};

}  // namespace pellorin
