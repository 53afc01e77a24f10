#include "platform/posix/errno_error.h"

#include <cerrno>
#include <cstring>

namespace platform::posix {

PlatformError ErrnoError(int error, ErrnoSubject subject) {
  switch (error) {
    case ENOENT:
      return PlatformError(subject == ErrnoSubject::kFile ? kFileNotFound : kPathNotFound);
    case EACCES:
    case EPERM:
    case EROFS: return PlatformError(kPermissionDenied);
    case ENOSPC:
    case EDQUOT: return PlatformError(kDiskFull);
    case EEXIST: return PlatformError(kFileAlreadyExists);
    case EIO:
    case ENXIO:
    case ENODEV: return PlatformError(kDiskNotReady);
    case ENOTDIR:
    case ENAMETOOLONG: return PlatformError(kPathNotFound);
    default: return PlatformError(kPathFileAccessError, std::strerror(error));
  }
}

}  // namespace platform::posix
