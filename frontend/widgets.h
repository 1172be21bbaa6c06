#pragma once

#include <QCheckBox>
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

// A check box whose caption wraps onto more lines inside its own width, as the settings
// dialog's narrow boxes need for their captions. Clicking the caption clicks the box.
class WrapCheckBox : public QCheckBox {
    Q_OBJECT
  public:
    WrapCheckBox(const QString& caption, QWidget* parent);
    QString Caption() const { return caption_->text(); }

  protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QLabel* caption_;
};

// A text box's mask: every character shown as "*", or plain text.
void SetMask(QLineEdit* box, bool masked);
bool Masked(const QLineEdit* box);

// A label drawn on a solid background colour.
void SetBackground(QLabel* label, const QColor& colour);

}  // namespace velmora::frontend
