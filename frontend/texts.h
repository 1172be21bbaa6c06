#pragma once

#include <string>

// Every caption and message of Velmora's windows, in Simplified Chinese, in one place. Texts are
// UTF-8; the windows turn them into QString.
namespace velmora::frontend::texts {

// ----- Captions ----------------------------------------------------------------------------
inline constexpr const char* kProgramTitle = "Velmora";
inline constexpr const char* kOneFileMode = "单目标加密";
inline constexpr const char* kFolderMode = "成组加密";
inline constexpr const char* kSourceFile = "源文件";
inline constexpr const char* kSourceFolder = "源文件夹";
inline constexpr const char* kTargetFolder = "目标文件夹";
inline constexpr const char* kPasswordPrompt = "请输入密码:";
inline constexpr const char* kEncrypt = "开始加密";
inline constexpr const char* kDecrypt = "开始解密";
inline constexpr const char* kPasswordFile = "密码文件";
inline constexpr const char* kLockFile = "锁文件";
inline constexpr const char* kUsePasswordFile = "用密码文件";
inline constexpr const char* kUseLockFile = "用锁文件";
inline constexpr const char* kSettings = "设置";
inline constexpr const char* kHelp = "帮助";

inline constexpr const char* kSettingsTitle = "加密设置";
inline constexpr const char* kOfferPasswordFile = "可用密码文件";
inline constexpr const char* kOfferLockFile = "可用锁文件";
inline constexpr const char* kPlainPassword = "密码输入禁用\"*\"";
inline constexpr const char* kTypeTwice = "需两次输入密码以确认";
inline constexpr const char* kTake = "确定";
inline constexpr const char* kSaveSettings = "保存设置";

// ----- Messages ----------------------------------------------------------------------------
inline constexpr const char* kPasswordMismatch = "密码填写有误,请重新填写.";

// Why a file operation failed, from the system's error number, in words a user can act on.
std::string ReasonOf(int error);

std::string NoSourceChosen();
std::string SourceMissing(const std::string& path);
std::string SourceUnreadable(const std::string& path, const std::string& reason);
std::string TargetFolderMissing(const std::string& path);
std::string TargetUncreatable(const std::string& path, const std::string& reason);
std::string FileFailed(const std::string& source, const std::string& target,
                       const std::string& reason);
std::string FolderUnlistable(const std::string& path, const std::string& reason);
std::string FolderUncreatable(const std::string& path, const std::string& reason);
std::string KeyFileEmpty(const std::string& path);
std::string KeyFileUnreadable(const std::string& path, const std::string& reason);
std::string NoKeyFileChosen();
std::string SettingsUnavailable(const std::string& path, const std::string& reason);
std::string ChaosStateUnwritable(const std::string& path);
std::string ChaosStateUnopenable(const std::string& path, const std::string& reason);
std::string StartUpFailed(const std::string& cause);
std::string ProgressServerUnavailable(const std::string& clientMessage);
std::string ProgressServerFailed(const std::string& clientMessage);

}  // namespace velmora::frontend::texts
