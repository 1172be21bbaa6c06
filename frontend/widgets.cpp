#include "widgets.h"

#include <QMouseEvent>
#include <QStyle>
#include <QStyleOptionButton>

namespace velmora::frontend {

void ClickLabel::mouseReleaseEvent(QMouseEvent* event) {
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        emit Click();
    }
}

WrapCheckBox::WrapCheckBox(const QString& caption, QWidget* parent)
    : QCheckBox(parent), caption_(new QLabel(caption, this)) {
    caption_->setWordWrap(true);
    caption_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    caption_->installEventFilter(this);
}

void WrapCheckBox::resizeEvent(QResizeEvent* event) {
    QCheckBox::resizeEvent(event);
    QStyleOptionButton option;
    initStyleOption(&option);
    const int indicator = style()->pixelMetric(QStyle::PM_IndicatorWidth, &option, this) +
                          style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, &option, this);
    caption_->setGeometry(indicator, 0, std::max(0, width() - indicator), height());
}

bool WrapCheckBox::eventFilter(QObject* watched, QEvent* event) {
    if (watched == caption_ && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        click();
        return true;
    }
    return QCheckBox::eventFilter(watched, event);
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
