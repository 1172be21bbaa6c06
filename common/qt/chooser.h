#pragma once

#include <QComboBox>
#include <QListWidget>
#include <QString>

namespace velmora::common {

// Every window names its three lists Drive1, Dir1 and File1; the lists carry those names
// (their objectName) from construction.

// Drive list: the mounted, ready volumes. `Drive()` is the picked volume's root path ("/"-ended).
class DriveListBox : public QComboBox {
    Q_OBJECT
  public:
    explicit DriveListBox(QWidget* parent = nullptr);
    QString Drive() const { return currentText(); }
    // Picks the volume holding `path` without raising Change.
    void ShowDriveOf(const QString& path);
  signals:
    // The user picked a drive.
    void Change();
};

// Folder list: the folders from the root down to `Path()`, then its subfolders (name order).
// Setting Path (by program, or by the user opening a folder with a double-click or Enter)
// emits Change before the setter returns. A path that is no readable folder throws Error and
// leaves the list as it was.
class DirListBox : public QListWidget {
    Q_OBJECT
  public:
    explicit DirListBox(QWidget* parent = nullptr);
    QString Path() const { return path_; }
    void SetPath(const QString& path);
    // Lists the folders of Path() again (one may have been made since) without raising Change.
    void Refresh();
  signals:
    void Change();

  private:
    void Open(QListWidgetItem* item);
    void Fill(const QString& path);
    QString path_;
};

// File list: the files of `Path()` in name order; FileName is the selected name. Click fires
// when the user clicks a listed file.
class FileListBox : public QListWidget {
    Q_OBJECT
  public:
    explicit FileListBox(QWidget* parent = nullptr);
    QString Path() const { return path_; }
    void SetPath(const QString& path);
    QString FileName() const;
    // Lists the files of Path() again, keeping the selected name when it is still there.
    void Refresh();
    // Selects `name` (none when empty or not listed) without raising Click.
    void SelectFile(const QString& name);
    // Selects `name` and raises Click, as a user's click does (tests and keyboard use).
    void ClickFile(const QString& name);
  signals:
    void Click();

  private:
    QString path_;
};

// Folder path with a trailing "/" (a path already ending in "/" is left as it is).
QString NormaliseFolder(const QString& path);

// The folder a window's folder list opens when `drive` is chosen: the current folder when it
// lies on that drive, otherwise the drive's root (ending in "/").
QString FolderToOpenOnDrive(const QString& drive);

}  // namespace velmora::common
