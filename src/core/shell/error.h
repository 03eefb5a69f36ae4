// The project's exception type: an error that stops an operation, carrying the system's own text.
#pragma once

#include <stdexcept>
#include <string>

namespace quillo {

class Error : public std::runtime_error {
 public:
  explicit Error(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace quillo
