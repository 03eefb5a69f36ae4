#include "shell/instance_guard.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdlib>

namespace quillo {

std::string InstanceGuard::DefaultLockFolder() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime && *runtime) return runtime;
  const char* tmp = std::getenv("TMPDIR");
  return tmp && *tmp ? tmp : "/tmp";
}

std::unique_ptr<InstanceGuard> InstanceGuard::TryAcquire(const std::string& lockFolder) {
  std::string folder = lockFolder.empty() ? DefaultLockFolder() : lockFolder;
  int fd = ::open((folder + "/MonMutexProject1.lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) fd = ::open("/tmp/MonMutexProject1.lock", O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  // A lock that cannot be created at all must not keep the pupil from working: the program then
  // runs without the guard.
  if (fd < 0) return std::unique_ptr<InstanceGuard>(new InstanceGuard(-1));
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    ::close(fd);
    return nullptr;
  }
  return std::unique_ptr<InstanceGuard>(new InstanceGuard(fd));
}

InstanceGuard::~InstanceGuard() {
  if (fd_ >= 0) ::close(fd_);
}

}  // namespace quillo
