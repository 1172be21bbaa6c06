#include "chooser.h"

#include <QDir>
#include <QStorageInfo>

#include "error.h"
#include "fso.h"

namespace velmora::common {

QString NormaliseFolder(const QString& path) {
    return path.endsWith(QLatin1Char('/')) ? path : path + QLatin1Char('/');
}

QString FolderToOpenOnDrive(const QString& drive) {
    const QString root = NormaliseFolder(drive);
    const QString cwd = QDir::currentPath();
    return NormaliseFolder(QStorageInfo(cwd).rootPath()) == root ? cwd : root;
}

DriveListBox::DriveListBox(QWidget* parent) : QComboBox(parent) {
    setObjectName(QStringLiteral("Drive1"));
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (volume.isValid() && volume.isReady()) addItem(NormaliseFolder(volume.rootPath()));
    }
    ShowDriveOf(QDir::currentPath());
    connect(this, &QComboBox::activated, this, [this] { emit Change(); });
}

void DriveListBox::ShowDriveOf(const QString& path) {
    QString root = NormaliseFolder(QStorageInfo(path).rootPath());
    int at = findText(root);
    if (at < 0) {
        addItem(root);
        at = count() - 1;
    }
    QSignalBlocker block(this);
    setCurrentIndex(at);
}

DirListBox::DirListBox(QWidget* parent) : QListWidget(parent) {
    setObjectName(QStringLiteral("Dir1"));
    connect(this, &QListWidget::itemActivated, this, &DirListBox::Open);
}

void DirListBox::SetPath(const QString& path) {
    Fill(path);
    emit Change();
}

void DirListBox::Refresh() {
    if (path_.isEmpty()) return;
    try {
        Fill(path_);
    } catch (const Error&) {
        // The folder has gone or cannot be read now: the list keeps what it showed.
    }
}

void DirListBox::Fill(const QString& path) {
    QString clean = QDir::cleanPath(QDir(path).absolutePath());
    Fso fso;
    auto subfolders = fso.SubFolders(clean.toStdString());  // throws for an unreadable folder
    path_ = clean;
    clear();
    QStringList parts = clean.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QString walked = QStringLiteral("/");
    auto* root = new QListWidgetItem(QStringLiteral("/"), this);
    root->setData(Qt::UserRole, walked);
    for (int i = 0; i < parts.size(); ++i) {
        walked = NormaliseFolder(walked) + parts[i];
        auto* item = new QListWidgetItem(QString(2 * (i + 1), QLatin1Char(' ')) + parts[i], this);
        item->setData(Qt::UserRole, walked);
    }
    setCurrentRow(count() - 1);
    for (const auto& name : subfolders) {
        QString child = QString::fromStdString(name);
        auto* item =
            new QListWidgetItem(QString(2 * (parts.size() + 1), QLatin1Char(' ')) + child, this);
        item->setData(Qt::UserRole, NormaliseFolder(clean) + child);
    }
}

void DirListBox::Open(QListWidgetItem* item) {
    try {
        SetPath(item->data(Qt::UserRole).toString());
    } catch (const Error&) {
        // An unreadable folder cannot be opened; the list stays where it was.
    }
}

FileListBox::FileListBox(QWidget* parent) : QListWidget(parent) {
    setObjectName(QStringLiteral("File1"));
    connect(this, &QListWidget::itemClicked, this, [this] { emit Click(); });
}

void FileListBox::SetPath(const QString& path) {
    Fso fso;
    auto files = fso.Files(path.toStdString());
    path_ = path;
    clear();
    for (const auto& name : files) addItem(QString::fromStdString(name));
}

void FileListBox::Refresh() {
    if (path_.isEmpty()) return;
    const QString selected = FileName();
    try {
        SetPath(path_);
    } catch (const Error&) {
        return;  // the folder has gone or cannot be read now: the list keeps what it showed
    }
    SelectFile(selected);
}

void FileListBox::SelectFile(const QString& name) {
    auto found = name.isEmpty() ? QList<QListWidgetItem*>() : findItems(name, Qt::MatchExactly);
    QSignalBlocker block(this);
    if (found.isEmpty()) {
        setCurrentItem(nullptr);
    } else {
        setCurrentItem(found.front());
    }
}

QString FileListBox::FileName() const {
    auto* item = currentItem();
    return item ? item->text() : QString();
}

void FileListBox::ClickFile(const QString& name) {
    auto found = findItems(name, Qt::MatchExactly);
    if (found.isEmpty()) return;
    setCurrentItem(found.front());
    emit Click();
}

}  // namespace velmora::common
