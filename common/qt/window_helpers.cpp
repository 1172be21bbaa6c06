#include "window_helpers.h"

#include <QCloseEvent>

namespace velmora::common {

void PlaceTwips(QWidget* widget, int left, int top, int width, int height) {
    widget->setGeometry(Twips(left), Twips(top), Twips(width), Twips(height));
}

int CheckValue(Qt::CheckState state) {
    switch (state) {
        case Qt::Checked:
            return 1;
        case Qt::PartiallyChecked:
            return 2;
        default:
            return 0;
    }
}

Qt::CheckState CheckStateOf(int value) {
    return value == 1 ? Qt::Checked : value == 2 ? Qt::PartiallyChecked : Qt::Unchecked;
}

void FormWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    if (unloader_) {
        auto unloader = unloader_;
        unloader();
    }
}

}  // namespace velmora::common
