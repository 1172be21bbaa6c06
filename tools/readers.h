#pragma once

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <vector>

#include "tool_window.h"

namespace tools {

// Shows up to 1000 bytes of any file as decimal numbers.
class DuMiMaWenJian : public ToolWindow {
    Q_OBJECT
  public:
    static constexpr int32_t kReadLimit = 1000;
    DuMiMaWenJian();
    void File1_Click() override;
    void Command1_Click();
    void Command2_Click();

    QLabel *Label1, *Label2, *Label3;
    QLineEdit *Text1, *Text2, *Text3;
    QPlainTextEdit* Text4;
    QPushButton *Command1, *Command2;

  private:
    QString chosen_file_;
    std::vector<uint8_t> last_read_;
};

// Reads up to 20000 bytes of a file as UTF-16LE code units.
class DuUnicode : public ToolWindow {
    Q_OBJECT
  public:
    static constexpr int32_t kReadLimit = 20000;
    DuUnicode();
    void File1_Click() override;
    void Command1_Click();

    QLabel *Label1, *Label2, *Label3;
    QLineEdit *Text2, *Text3, *Text4;
    QPlainTextEdit* Text1Out;  // the output box, objectName "Text1"
    QPushButton* Command1;
};

// Writes a typed string as a file of its UTF-16LE code units.
class XieUnicode : public ToolWindow {
    Q_OBJECT
  public:
    XieUnicode();
    void Form_Load() override;
    void Command2_Click();

    QLineEdit* Text2;
    QLabel *Label1, *Label2;
    QLineEdit* Text3;
    QPushButton* Command2;
};

}  // namespace tools
