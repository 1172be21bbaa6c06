#pragma once

#include <QLineEdit>
#include <QPushButton>
#include <QString>
#include <functional>
#include <string>

#include "chooser.h"
#include "window_helpers.h"

namespace tools {

// Runs a handler and turns any failure into a notice in the tools' own words (never a library's
// raw text), so the window stays usable.
void Guarded(const std::function<void()>& handler);

// Connects a button's click to a handler that runs guarded.
void ConnectClick(QPushButton* button, QObject* context, std::function<void()> handler);

using velmora::common::Make;

// A built text with CR LF line ends as a multi-line box shows it.
QString Crlf(const std::string& text);

// A name that stays inside the target folder: no "/", and neither "." nor "..".
bool IsPlainFileName(const QString& name);

// Shows the launcher again (a tool finished or closed) and hands out its icon.
void ShowLauncher();
QIcon LauncherIcon();

// What every tool window with a picker shares: the drive, folder and file lists, the current
// path and, in writer windows, Text1 and the target folder.
class ToolWindow : public velmora::common::FormWindow {
    Q_OBJECT
  public:
    enum class Kind { kWriter, kReader };
    ToolWindow(Kind kind, const QString& caption);

    void Form_Load() override;
    void Form_Unload() override;
    void Drive1_Change();
    void Dir1_Change();
    virtual void File1_Click() {}

    velmora::common::DriveListBox* Drive1;
    velmora::common::DirListBox* Dir1;
    velmora::common::FileListBox* File1;
    QLineEdit* Text1 = nullptr;  // writers: shows the current path

    QString CurrentPath() const { return current_path_; }
    QString TargetFolder() const { return target_folder_; }

  protected:
    // A window that comes back (a writer after its write, any tool after another program
    // changed the folder) lists its folder afresh; the chosen file and paths stay as they were.
    void showEvent(QShowEvent* event) override;
    // Full path of the file selected in File1.
    QString ClickedFile() const;
    // The chosen file as a path for file access; refuses (ToolError) an empty choice, a folder
    // and a file that has gone since it was clicked.
    static std::string RequireChosenFile(const QString& path);
    QString current_path_;
    QString target_folder_;

  private:
    void ShowFolder();
    Kind kind_;
};

}  // namespace tools
