#pragma once

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <vector>

#include "tool_window.h"

namespace tools {

// The password-file editor: values typed as decimal numbers, checked line by line.
class XieMiMaWenJian : public velmora::common::FormWindow {
    Q_OBJECT
  public:
    XieMiMaWenJian();
    void Form_Load() override;
    void Form_Unload() override;
    void Command1_Click();
    void Command2_Click();

    QPlainTextEdit* Text1;
    QPlainTextEdit* Text2;
    QLabel* Label1;
    QPushButton* Command1;
    QPushButton* Command2;
};

// The name and place picker that writes the editor's bytes.
class XieMiMaWJb : public ToolWindow {
    Q_OBJECT
  public:
    XieMiMaWJb();
    void File1_Click() override;
    void Command1_Click();
    void Command2_Click();
    void XMWJjiekou(const std::vector<uint8_t>& bytes) { bytes_ = bytes; }

    QLabel* Label1;
    QLineEdit* Text2;
    QLabel* Label2;
    QLineEdit* Text3;
    QPushButton* Command1;
    QPushButton* Command2;

  private:
    std::vector<uint8_t> bytes_;
};

}  // namespace tools
