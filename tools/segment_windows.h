#pragma once

#include <QLabel>
#include <QPushButton>
#include <optional>

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
    void ShowLengths();
    void ShowRemaining();
    // The remaining length for the number in Text2; none when it is beyond 32-bit lengths.
    std::optional<double> Remaining() const;
    QString chosen_file_;
    int32_t file_length_ = 0;
};

// Texts of the segment windows, kept apart so they are tested without a window.
QString AppendLabel(int64_t file_length);
QString RemainingLine(double remaining);

// Length of a chosen file as the windows hold it (32-bit). A file of 2 GiB or more is refused
// with a notice, and `list` (when given) selects the earlier choice `before` again.
int32_t LengthOfChosen(const QString& file, velmora::common::FileListBox* list,
                       const QString& before);

}  // namespace tools
