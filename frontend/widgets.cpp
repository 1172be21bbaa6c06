#include "widgets.h"

#include <QMouseEvent>

namespace velmora::frontend {

void ClickLabel::mouseReleaseEvent(QMouseEvent* event) {
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        emit Click();
    }
}

void SetMask(QLineEdit* box, bool masked) {
    // The style decides the mask character unless a style sheet names one: 42 is "*".
    box->setStyleSheet(masked ? QStringLiteral("lineedit-password-character: 42;") : QString());
    box->setEchoMode(masked ? QLineEdit::Password : QLineEdit::Normal);
}

bool Masked(const QLineEdit* box) {
    return box->echoMode() == QLineEdit::Password;
}

void SetBackground(QLabel* label, const QColor& colour) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, colour);
    label->setPalette(palette);
    label->setAutoFillBackground(true);
}

}  // namespace velmora::frontend
