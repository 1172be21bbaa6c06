#include "tool_window.h"

#include <QDir>
#include <QFileInfo>
#include <QShowEvent>

#include "error.h"
#include "message_boxes.h"
#include "messages.h"

namespace tools {

using velmora::common::FolderToOpenOnDrive;
using velmora::common::NormaliseFolder;
using velmora::common::PlaceTwips;

void Guarded(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const std::exception& failure) {
        velmora::common::Messages().Notice(msg::ForFailure(failure));
    }
}

QString Crlf(const std::string& text) {
    return QString::fromStdString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

bool IsPlainFileName(const QString& name) {
    return !name.contains(QLatin1Char('/')) && name != QLatin1String(".") &&
           name != QLatin1String("..");
}

void ConnectClick(QPushButton* button, QObject* context, std::function<void()> handler) {
    QObject::connect(button, &QPushButton::clicked, context,
                     [handler = std::move(handler)] { Guarded(handler); });
}

ToolWindow::ToolWindow(Kind kind, const QString& caption) : kind_(kind) {
    setWindowTitle(caption);
    setFont(QFont(QStringLiteral("宋体"), 12));
    Drive1 = new velmora::common::DriveListBox(this);
    Dir1 = new velmora::common::DirListBox(this);
    File1 = new velmora::common::FileListBox(this);
    PlaceTwips(Drive1, 120, 120, 3600, 450);
    PlaceTwips(Dir1, 120, 660, 3600, 3000);
    PlaceTwips(File1, 120, 3780, 3600, 2400);
    if (kind_ == Kind::kWriter) {
        Text1 = new QLineEdit(this);
        Text1->setObjectName("Text1");
        Text1->setReadOnly(true);
        PlaceTwips(Text1, 3900, 120, 5400, 450);
    }
    connect(Drive1, &velmora::common::DriveListBox::Change, this,
            [this] { Guarded([this] { Drive1_Change(); }); });
    connect(Dir1, &velmora::common::DirListBox::Change, this,
            [this] { Guarded([this] { Dir1_Change(); }); });
    connect(File1, &velmora::common::FileListBox::Click, this,
            [this] { Guarded([this] { File1_Click(); }); });
}

void ToolWindow::Form_Load() {
    setWindowIcon(LauncherIcon());
    current_path_ = NormaliseFolder(QDir::currentPath());
    target_folder_ = current_path_;
    {
        QSignalBlocker block(Dir1);
        Dir1->SetPath(QDir::currentPath());
    }
    File1->SetPath(current_path_);
    ShowFolder();
}

void ToolWindow::Form_Unload() {
    ShowLauncher();
}

void ToolWindow::Drive1_Change() {
    try {
        const QString root = NormaliseFolder(Drive1->Drive());
        Dir1->SetPath(FolderToOpenOnDrive(root));
        current_path_ = root;
    } catch (const velmora::common::Error&) {
        // A drive that cannot be read changes nothing but the drive list.
    }
    ShowFolder();
}

void ToolWindow::Dir1_Change() {
    current_path_ = NormaliseFolder(Dir1->Path());
    File1->SetPath(current_path_);
    ShowFolder();
}

void ToolWindow::ShowFolder() {
    if (kind_ != Kind::kWriter) return;
    Text1->setText(current_path_);
    target_folder_ = current_path_;
}

void ToolWindow::showEvent(QShowEvent* event) {
    FormWindow::showEvent(event);
    if (event->spontaneous()) return;
    Dir1->Refresh();
    File1->Refresh();
}

std::string ToolWindow::RequireChosenFile(const QString& path) {
    QFileInfo info(path);
    if (path.isEmpty() || path.endsWith(QLatin1Char('/')) || info.isDir()) {
        throw msg::ToolError(msg::NoFileChosen());
    }
    if (!info.exists()) throw msg::ToolError(msg::FileGone(path));
    return path.toStdString();
}

QString ToolWindow::ClickedFile() const {
    return NormaliseFolder(File1->Path()) + File1->FileName();
}

}  // namespace tools
