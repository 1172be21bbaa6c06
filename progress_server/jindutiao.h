#pragma once

#include <QLabel>
#include <QPixmap>
#include <QWidget>
#include <cstdint>

#include "jindutiao_state.h"

namespace pellorin {

// The segmented progress bar: a row of equal blue blocks. It paints into a pixmap shown by
// `Picture1`, so the drawing survives the window being covered, and repaints the pixmap only
// when the block count changes.
class JinDuTiao : public QWidget {
    Q_OBJECT

  public:
    static constexpr QRgb kBlockColour = qRgb(10, 10, 250);

    explicit JinDuTiao(QWidget* parent = nullptr);

    void JDThua(std::int32_t& i);
    // Runs when the control is placed and whenever its size changes. Qt holds back resize
    // events of hidden widgets until they are shown, so whoever places the bar calls this once.
    void UserControl_Resize();

    const JinDuTiaoState& state() const { return state_; }
    const QPixmap& surface() const { return surface_; }
    // How often the surface has been cleared and drawn; the cheap path must not touch it.
    int redrawCount() const { return redraws_; }

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    void redraw();

    QLabel* Picture1;
    JinDuTiaoState state_;
    QPixmap surface_;
    int redraws_ = 0;
};

}  // namespace pellorin
