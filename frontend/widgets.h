#pragma once

#include <QColor>
#include <QLabel>
#include <QLineEdit>

// Small pieces of Velmora's windows that Qt lacks as the windows need them.
namespace velmora::frontend {

// A label that answers a click, as the menu labels "设置" and "帮助" do.
class ClickLabel : public QLabel {
    Q_OBJECT
  public:
    using QLabel::QLabel;
  signals:
    void Click();

  protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

// A text box's mask: every character shown as "*", or plain text.
void SetMask(QLineEdit* box, bool masked);
bool Masked(const QLineEdit* box);

// A label drawn on a solid background colour.
void SetBackground(QLabel* label, const QColor& colour);

}  // namespace velmora::frontend
