#pragma once

#include <QPushButton>

#include "window_helpers.h"

namespace tools {

// The start-up window: one button per tool; it hides while a tool is in use.
class GongJu : public velmora::common::FormWindow {
    Q_OBJECT
  public:
    GongJu();
    void Form_Load() override;
    void Form_Unload() override;
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();
    void Command6_Click();

    QPushButton *Command1, *Command2, *Command3, *Command4, *Command5, *Command6;

  protected:
    // The launcher comes back where it was when a tool hid it, rather than where the window
    // manager would place a new window.
    void hideEvent(QHideEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    QPoint place_;
    bool placed_ = false;
};

}  // namespace tools
