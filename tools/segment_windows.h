#pragma once

#include <QLabel>
#include <QPushButton>

#include "tool_window.h"

namespace tools {

// Appends a segment of generator bytes to the end of a file.
class WenJianTianJiaSuiJiDuan : public ToolWindow {
    Q_OBJECT
  public:
    WenJianTianJiaSuiJiDuan();
    void Form_Load() override;
    void File1_Click() override;
    void Command1_Click();
    void WenJianTianJiaSuiJi(const QString& path, int32_t& start, int32_t& end);

    QLabel* Label1;
    QLineEdit* Text2;
    QPushButton* Command1;
    QLineEdit* PathBox;  // objectName "Text1": the current path, then the chosen file

  private:
    QString chosen_file_;
    int32_t file_length_ = 0;
};

// Cuts a number of bytes off the end of a file, in place.
class WenJianQuWei : public ToolWindow {
    Q_OBJECT
  public:
    WenJianQuWei();
    void Form_Load() override;
    void File1_Click() override;
    void Text2_Change();
    void Command1_Click();

    QLabel* Label1;
    QLineEdit* Text2;
    QLabel* Label2;
    QPushButton* Command1;
    QLineEdit* PathBox;  // objectName "Text1"

  private:
    void ShowRemaining();
    QString chosen_file_;
    int32_t file_length_ = 0;
};

// Texts of the segment windows, kept apart so they are tested without a window.
QString AppendLabel(int64_t file_length);
QString RemainingLine(int64_t file_length, double cut);

}  // namespace tools
