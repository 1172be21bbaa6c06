#include "error.h"

#include <cerrno>
#include <cstring>

namespace velmora::common {

std::string SystemReason(int error) {
    switch (error) {
        case ENOENT:
            return "it does not exist";
        case EACCES:
        case EPERM:
            return "permission denied";
        case ENOTDIR:
            return "a part of the path is not a folder";
        case EISDIR:
            return "it is a folder";
        case EEXIST:
            return "the name is taken";
        case ENOSPC:
        case EDQUOT:
            return "the disk is full";
        case EFBIG:
            return "the file would exceed the file-size limit";
        case EROFS:
            return "the file system is read-only";
        case ENAMETOOLONG:
            return "the name is too long";
        case ELOOP:
            return "too many symbolic links";
        case EIO:
            return "an input/output error occurred";
        case EINTR:
            return "interrupted";
        default:
            return std::strerror(error);
    }
}

}  // namespace velmora::common
