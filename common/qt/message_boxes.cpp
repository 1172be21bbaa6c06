#include "message_boxes.h"

#include <QMessageBox>

namespace velmora::common {

namespace {
MessageBoxes* installed = nullptr;
}

void QtMessageBoxes::Notice(const QString& text) {
    QMessageBox::information(nullptr, title_, text, QMessageBox::Ok);
}

bool QtMessageBoxes::Question(const QString& text) {
    return QMessageBox::question(nullptr, title_, text, QMessageBox::Ok | QMessageBox::Cancel,
                                 QMessageBox::Ok) != QMessageBox::Cancel;
}

MessageBoxes& Messages() {
    static QtMessageBoxes fallback(QStringLiteral("Velmora"));
    return installed ? *installed : fallback;
}

void SetMessageBoxes(MessageBoxes* boxes) {
    installed = boxes;
}

}  // namespace velmora::common
