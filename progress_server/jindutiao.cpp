#include "jindutiao.h"

#include <QPainter>
#include <QResizeEvent>

#include "twips.h"

namespace pellorin {

JinDuTiao::JinDuTiao(QWidget* parent) : QWidget(parent), Picture1(new QLabel(this)) {
    Picture1->setObjectName("Picture1");
    Picture1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void JinDuTiao::JDThua(std::int32_t& i) {
    if (state_.JDThua(i)) redraw();
}

void JinDuTiao::UserControl_Resize() {
    Picture1->setGeometry(0, 0, width(), height());
    if (state_.UserControl_Resize(twips::fromPixels(width()), twips::fromPixels(height()))) {
        redraw();
    }
}

void JinDuTiao::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // The placement already ran the resize steps; a deferred event for the same size would
    // otherwise put the 60 % fill back over a bar that has since been set.
    if (twips::fromPixels(width()) != state_.width ||
        twips::fromPixels(height()) != state_.height) {
        UserControl_Resize();
    }
}

void JinDuTiao::redraw() {
    ++redraws_;
    surface_ = QPixmap(std::max(1, width()), std::max(1, height()));
    surface_.fill(palette().color(QPalette::Window));
    QPainter painter(&surface_);
    painter.scale(1.0 / twips::kPerPixel, 1.0 / twips::kPerPixel);
    const std::int32_t pitch = state_.gap + state_.blockWidth;
    for (std::int32_t k = 0; k < state_.count; ++k) {
        painter.fillRect(QRectF(pitch * k, 0, state_.blockWidth, state_.height),
                         QColor(kBlockColour));
    }
    painter.end();
    Picture1->setPixmap(surface_);
}

}  // namespace pellorin
