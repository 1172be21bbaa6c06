#include "app_icon.h"

#include <QGuiApplication>
#include <QIcon>

namespace velmora {

void SetApplicationIcon() {
    // The same SVG that the desktop entries name; Qt draws it through its SVG icon plugin.
    QGuiApplication::setWindowIcon(QIcon(QStringLiteral(":/velmora/velmora.svg")));
}

}  // namespace velmora
