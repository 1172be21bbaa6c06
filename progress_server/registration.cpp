#include "registration.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace pellorin {

QString serviceFilePath(const QString& busName) {
    QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    // The base-directory rules ignore a relative value.
    if (dataHome.isEmpty() || QDir::isRelativePath(dataHome)) {
        dataHome = QDir::homePath() + QStringLiteral("/.local/share");
    }
    return dataHome + QStringLiteral("/dbus-1/services/") + busName + QStringLiteral(".service");
}

QString serviceFileText(const QString& busName, const QString& programPath) {
    QString exec = programPath;
    static const QString plain =
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789/._-+,@%=:");
    bool needsQuotes = false;
    for (QChar c : programPath) needsQuotes = needsQuotes || !plain.contains(c);
    if (needsQuotes) {
        exec = programPath;
        exec.replace(QStringLiteral("'"), QStringLiteral("'\\''"));
        exec = QStringLiteral("'") + exec + QStringLiteral("'");
    }
    return QStringLiteral("[D-BUS Service]\nName=") + busName + QStringLiteral("\nExec=") + exec +
           QStringLiteral("\n");
}

QString registerServer(const QString& busName, const QString& programPath) {
    const QString path = serviceFilePath(busName);
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        return QStringLiteral("cannot create the folder of ") + path;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return QStringLiteral("cannot write ") + path;
    file.write(serviceFileText(busName, programPath).toUtf8());
    if (!file.commit()) return QStringLiteral("cannot write ") + path;
    return {};
}

QString unregisterServer(const QString& busName) {
    const QString path = serviceFilePath(busName);
    if (QFile::exists(path) && !QFile::remove(path)) return QStringLiteral("cannot remove ") + path;
    return {};
}

}  // namespace pellorin
