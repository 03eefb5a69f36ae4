// The text of the error an action raises, for tests that check exact messages.
#pragma once

#include <functional>
#include <string>

#include "shell/error.h"

namespace quillo::test {

// The message of the quillo::Error the action throws, or "(no error)".
inline std::string ErrorOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const Error& e) {
    return e.what();
  }
  return "(no error)";
}

}  // namespace quillo::test
