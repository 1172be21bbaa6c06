#pragma once

#include <QObject>

#include "window_reference.h"

namespace pellorin {

// Lets an end-to-end test act as the user: press the cancel button or the close box of the
// window. Served at /TestHooks only when PELLORIN_TEST_HOOKS=1 is in the environment.
class TestHooks : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.velmora.Pellorin.TestHooks")

  public:
    explicit TestHooks(WindowReference& window, QObject* parent = nullptr)
        : QObject(parent), window_(window) {}

  public slots:
    // Both answer whether there was a shown window to act on.
    bool ClickCancel();
    bool CloseWindow();
    bool WindowShown();

  private:
    WindowReference& window_;
};

}  // namespace pellorin
