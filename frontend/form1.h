#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "chooser.h"
#include "fso.h"
#include "jmi.h"
#include "main_job.h"
#include "main_state.h"
#include "widgets.h"
#include "window_helpers.h"

namespace velmora::frontend {

// The main window. Its public members (`MainState`) are the job state the engine, the folder
// walk and the settings dialog share; the handlers call plain code and redraw.
class Form1 : public common::FormWindow, public MainState, private JobWindow {
    Q_OBJECT
  public:
    Form1();
    ~Form1() override;

    void Form_Load() override;
    void Form_Unload() override;

    void T3v(std::int32_t p);
    void FmimaDuchu(const std::string& path);
    void Fyc() override;
    void Fxs() override;
    void Fyd(std::int32_t p);
    void Fydb(std::int32_t p);

    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();
    void Command6_Click();
    void Command7_Click();
    void Command8_Click();
    void Drive1_Change();
    void Dir1_Change();
    void File1_Click();
    void Text2_Change();
    void Label5_Click();
    void Label6_Click();

    // The program's one engine, there from start-up to shut-down.
    engine::Jmi& Engine() { return *engine_; }

    QPushButton *Command1, *Command2, *Command3, *Command4, *Command5, *Command6, *Command7,
        *Command8;
    ClickLabel *Label5, *Label6;
    QLabel *Label1, *Label2, *Label3, *Label4;
    QLineEdit *Text1, *Text2, *Text3, *Text4;
    common::DriveListBox* Drive1;
    common::DirListBox* Dir1;
    common::FileListBox* File1;

  private:
    void ShowTarget(const std::string& path) override;
    void ShowElapsed(float seconds) override;
    void ClearPasswords() override;
    void Notice(const std::string& text) override;
    // Draws the password block and the key-file controls as the state says.
    void ApplyLayout();
    void RunCommand(std::int32_t direction);

    std::array<double, 21> Timb{};   // timer samples 1..20; index 0 unused
    std::vector<std::uint8_t> Amwb;  // the key file's bytes

    std::unique_ptr<engine::ProgressObject> progress_;  // what `Aclss` points at
    std::unique_ptr<common::Fso> fso_;
    std::unique_ptr<engine::Jmi> engine_;
};

// Creates the file-system object the walk and the target names share.
std::unique_ptr<common::Fso> CreateFso();

}  // namespace velmora::frontend
