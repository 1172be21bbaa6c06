#pragma once

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <string>

#include "chooser.h"
#include "window_helpers.h"

namespace velmora::frontend {

struct Settings;

// The settings dialog "加密设置": which key sources the main window offers, whether the password
// is masked and typed twice, and the preset key files. Loaded hidden at start-up; applied to
// the main window at load and at every unload; written to "Shezhi.lib" only on "保存设置".
class Form2 : public common::FormWindow {
    Q_OBJECT
  public:
    Form2();

    void Form_Load() override;
    void Form_Unload() override;

    void FormbJiekou();
    void Shefma();
    void Getfm();
    void Setfm();

    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Drive1_Change();
    void Dir1_Change();
    void File1_Click();

    // The settings as the controls hold them, and the other way round.
    Settings Current() const;
    void Show(const Settings& settings);

    std::string Fmbe;  // the path chosen in the dialog's own lists
    std::string Fmbf;  // the settings file

    QCheckBox *Check1, *Check2, *Check3, *Check4;
    QLineEdit *Text1, *Text2;
    QPushButton *Command1, *Command2, *Command3;
    common::DriveListBox* Drive1;
    common::DirListBox* Dir1;
    common::FileListBox* File1;
};

}  // namespace velmora::frontend
