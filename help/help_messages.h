#pragma once

#include <QString>

// What the help window says when there is no text to show: one line, naming the file it looked
// for and why it shows nothing else.
namespace velmora::help {

inline QString MissingHelpFile(const QString& path) {
    return QStringLiteral("找不到帮助文件:") + path;
}

inline QString UnreadableHelpFile(const QString& path) {
    return QStringLiteral("无法读取帮助文件:") + path;
}

inline QString HelpFileTooLarge(const QString& path) {
    return QStringLiteral("帮助文件过大,没有读取:") + path;
}

}  // namespace velmora::help
