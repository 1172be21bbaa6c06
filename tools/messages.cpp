#include "messages.h"

#include "file_segments.h"
#include "tool_numbers.h"

namespace tools::msg {

namespace {

using velmora::common::FileError;

QString Quoted(const QString& path) {
    return QStringLiteral("“") + path + QStringLiteral("”");
}

QString Doing(FileError::Action action) {
    switch (action) {
        case FileError::Action::kOpen:
            return QStringLiteral("打开");
        case FileError::Action::kRead:
            return QStringLiteral("读取");
        case FileError::Action::kWrite:
            return QStringLiteral("写入");
        case FileError::Action::kShorten:
            return QStringLiteral("截短");
        case FileError::Action::kMeasure:
            return QStringLiteral("访问");
        case FileError::Action::kRemove:
            return QStringLiteral("删除");
    }
    return QStringLiteral("使用");
}

// The reason and what the user can do about it.
QString Reason(FileError::Problem problem, int code) {
    switch (problem) {
        case FileError::Problem::kNoPath:
            return QStringLiteral("还没有选择文件。请先在文件列表中单击一个文件");
        case FileError::Problem::kMissing:
            return QStringLiteral("文件不存在（可能已被删除、移动或改名）。请在文件列表中重新选择");
        case FileError::Problem::kFolder:
            return QStringLiteral("这是一个文件夹，不是文件。请在文件列表中单击一个文件");
        case FileError::Problem::kNotRegular:
            return QStringLiteral("这不是普通文件（是设备或管道）。请选择一个普通文件");
        case FileError::Problem::kNoPermission:
            return QStringLiteral("没有权限。请检查文件和文件夹的权限");
        case FileError::Problem::kReadOnly:
            return QStringLiteral("所在的磁盘是只读的。请选择可写的位置");
        case FileError::Problem::kDiskFull:
            return QStringLiteral("磁盘已满或超出了文件大小的限制。请腾出空间后再试");
        case FileError::Problem::kBadPosition:
            return QStringLiteral("位置从 1 开始。请填写 1 或更大的数");
        case FileError::Problem::kOther:
            break;
    }
    return QStringLiteral("系统错误（代码 %1）。请检查该文件后再试").arg(code);
}

}  // namespace

QString BadFileName(const QString& name) {
    return QStringLiteral("文件名") + Quoted(name) +
           QStringLiteral("不能使用：文件名中不能有“/”，也不能是“.”或“..”。请换一个文件名。");
}

QString StartBelowOne(const QString& typed) {
    return QStringLiteral("写入的起始位置") + Quoted(typed) +
           QStringLiteral("小于 1。文件的第一个字节是位置 1，请填写 1 或更大的数。");
}

QString NumberOutOfRange(const QString& typed) {
    return QStringLiteral("数值") + Quoted(typed) +
           QStringLiteral("超出了可用的范围（-2147483648 到 2147483647）。请重新填写。");
}

QString NoFileChosen() {
    return QStringLiteral("还没有选择文件。请先在文件列表中单击一个文件。");
}

QString FileGone(const QString& path) {
    return QStringLiteral("文件") + Quoted(path) +
           QStringLiteral("已不存在（可能已被删除、移动或改名）。请在文件列表中重新单击一个文件。");
}

QString FileTooLarge(const QString& path) {
    return QStringLiteral("文件") + Quoted(path) +
           QStringLiteral(
               "的长度达到或超过 2147483648 字节，本工具只能处理更短的文件。"
               "原先选择的文件保持不变。");
}

QString CannotRemove(const QString& path, FileError::Problem problem) {
    return QStringLiteral("无法删除已有的文件") + Quoted(path) + QStringLiteral("：") +
           Reason(problem, 0) + QStringLiteral("。没有写入任何内容。");
}

QString FileFailure(const FileError& error) {
    if (error.problem() == FileError::Problem::kNoPath) return NoFileChosen();
    return QStringLiteral("无法") + Doing(error.action()) + QStringLiteral("文件") +
           Quoted(QString::fromStdString(error.path())) + QStringLiteral("：") +
           Reason(error.problem(), error.SystemCode()) + QStringLiteral("。");
}

QString AppendUndone(const FileError& error) {
    return QStringLiteral("向文件") + Quoted(QString::fromStdString(error.path())) +
           QStringLiteral("追加随机数据时出错：") + Reason(error.problem(), error.SystemCode()) +
           QStringLiteral("。文件已恢复为追加前的样子。");
}

QString Unexpected() {
    return QStringLiteral("操作没有完成：发生了意外的错误。窗口仍可使用，请检查所选的文件后再试。");
}

QString ForFailure(const std::exception& failure) {
    if (auto* undone = dynamic_cast<const AppendUndoneError*>(&failure)) {
        return AppendUndone(*undone);
    }
    if (auto* own = dynamic_cast<const ToolError*>(&failure)) return own->text();
    if (auto* file = dynamic_cast<const FileError*>(&failure)) return FileFailure(*file);
    if (auto* number = dynamic_cast<const NumberRangeError*>(&failure)) {
        return NumberOutOfRange(QString::fromStdString(number->typed()).trimmed());
    }
    return Unexpected();
}

}  // namespace tools::msg
