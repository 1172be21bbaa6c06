#pragma once

#include <QString>
#include <exception>

#include "binary_file.h"

// Every text that the tools show in a message box, in one place. The fixed texts are the tools'
// own words as users know them; the functions build the notices for failures, each naming the
// file (or the entry) and saying what to do.
namespace tools::msg {

inline const QString kNoName = QStringLiteral("请输入文件名");
inline const QString kSameName = QStringLiteral("已经有一个同名的文件,是否继续?");
inline const QString kByteReadLimit = QStringLiteral("每次读出长度不能超过1000Byte");
inline const QString kTextReadLimit = QStringLiteral("每次读出长度不能超过20000");
inline const QString kDone = QStringLiteral("操作完成。");
inline const QString kBadSetting = QStringLiteral("设置错误,请重新设置。");
inline const QString kCutQuestion = QStringLiteral("此操作可能损害文件，确定操作？");

QString BadFileName(const QString& name);
QString StartBelowOne(const QString& typed);
QString NumberOutOfRange(const QString& typed);
QString NoFileChosen();
QString FileGone(const QString& path);
QString FileTooLarge(const QString& path);
QString CannotRemove(const QString& path, velmora::common::FileError::Problem problem);
QString FileFailure(const velmora::common::FileError& error);
QString AppendUndone(const velmora::common::FileError& error);
QString Unexpected();

// The notice for a failure that ends a handler: our own texts as they stand, a file failure in
// the tools' words, and never a library's raw text.
QString ForFailure(const std::exception& failure);

// A failure whose notice is already written (a text from this catalogue).
class ToolError : public std::exception {
  public:
    explicit ToolError(QString text) : text_(std::move(text)) {}
    const QString& text() const { return text_; }
    const char* what() const noexcept override { return "tool error"; }

  private:
    QString text_;
};

}  // namespace tools::msg
