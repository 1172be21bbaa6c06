#include "texts.h"

#include <cerrno>

namespace velmora::frontend::texts {

std::string ReasonOf(int error) {
    switch (error) {
        case ENOENT:
            return "文件或文件夹不存在";
        case EACCES:
        case EPERM:
            return "没有访问权限";
        case EISDIR:
            return "这是一个文件夹,不是文件";
        case ENOTDIR:
            return "路径中有一部分不是文件夹";
        case ENOSPC:
        case EDQUOT:
            return "磁盘空间不足";
        case EROFS:
            return "磁盘是只读的";
        case EEXIST:
            return "同名文件已经存在";
        case ENAMETOOLONG:
            return "文件名太长";
        case EMFILE:
        case ENFILE:
            return "打开的文件太多";
        case EFBIG:
            return "文件太大";
        case EIO:
            return "磁盘读写出错";
        default:
            return "读写失败(错误号 " + std::to_string(error) + ")";
    }
}

std::string NoSourceChosen() {
    return "没有选择源文件:请先在文件列表中点选一个文件,再按\"源文件\"。";
}

std::string SourceMissing(const std::string& path) {
    return "源文件 " + path + " 不存在。";
}

std::string SourceUnreadable(const std::string& path, const std::string& reason) {
    return "无法读取源文件 " + path + ":" + reason + "。";
}

std::string TargetFolderMissing(const std::string& path) {
    return "目标文件夹 " + path + " 不存在。";
}

std::string TargetUncreatable(const std::string& path, const std::string& reason) {
    return "无法创建目标文件 " + path + ":" + reason + "。";
}

std::string FileFailed(const std::string& source, const std::string& target,
                       const std::string& reason) {
    return "处理文件 " + source + " 时出错(目标文件 " + target + "):" + reason +
           "。未完成的目标文件已删除。";
}

std::string FolderUnlistable(const std::string& path, const std::string& reason) {
    return "无法读取文件夹 " + path + " 的内容:" + reason + "。";
}

std::string FolderUncreatable(const std::string& path, const std::string& reason) {
    return "无法创建文件夹 " + path + ":" + reason + "。";
}

std::string KeyFileEmpty(const std::string& path) {
    return "密钥文件 " + path + " 是空文件,不能用作密钥。任务没有开始。";
}

std::string KeyFileUnreadable(const std::string& path, const std::string& reason) {
    return "无法读取密钥文件 " + path + ":" + reason + "。";
}

std::string NoKeyFileChosen() {
    return "没有选择密钥文件:请先在文件列表中点选一个文件,再按\"密码文件\"或\"锁文件\"。";
}

std::string SettingsUnavailable(const std::string& path, const std::string& reason) {
    return "无法打开设置文件 " + path + ":" + reason + "。所有选项按未选处理。";
}

std::string ChaosStateUnwritable(const std::string& path) {
    return "无法保存随机数状态文件 " + path + "。";
}

std::string ChaosStateUnopenable(const std::string& path, const std::string& reason) {
    return "无法打开随机数状态文件 " + path + ":" + reason + "。";
}

std::string StartUpFailed(const std::string& cause) {
    return "Velmora 不能启动。\n\n" + cause;
}

std::string ProgressServerUnavailable(const std::string& clientMessage) {
    return "无法连接进度显示程序 pellorin,Velmora 不能启动。\n\n" + clientMessage;
}

std::string ProgressServerFailed(const std::string& clientMessage) {
    return "进度显示程序 pellorin 出错,任务已停止。\n\n" + clientMessage;
}

}  // namespace velmora::frontend::texts
