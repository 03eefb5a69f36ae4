// The single-instance guard: an exclusive lock held for the life of the process.
#pragma once

#include <memory>
#include <string>

namespace quillo {

class InstanceGuard {
 public:
  // Takes the lock "MonMutexProject1.lock" in lockFolder ($XDG_RUNTIME_DIR, else the temp
  // folder, when empty; "/tmp" when lockFolder cannot hold it). Returns nothing when another
  // process holds it; when no lock file can be made anywhere, a guard without a lock.
  static std::unique_ptr<InstanceGuard> TryAcquire(const std::string& lockFolder = "");
  ~InstanceGuard();
  InstanceGuard(const InstanceGuard&) = delete;
  InstanceGuard& operator=(const InstanceGuard&) = delete;

  // The folder the lock lives in when none is given.
  static std::string DefaultLockFolder();

 private:
  explicit InstanceGuard(int fd) : fd_(fd) {}
  int fd_;
};

}  // namespace quillo
