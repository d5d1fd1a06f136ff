// Error types raised by the platform layer and the engine. Each carries the
// text that the default exception report shows to the operator.
#pragma once

#include <stdexcept>
#include <string>

namespace stb {

class EStbError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A text that does not read as an integer: "'%s' is not a valid integer value".
class EConvertError : public EStbError {
 public:
  using EStbError::EStbError;
};

// A file that cannot be opened: "Cannot open file %s".
class EFOpenError : public EStbError {
 public:
  using EStbError::EStbError;
};

// A file that cannot be created: "Cannot create file %s".
class EFCreateError : public EStbError {
 public:
  using EStbError::EStbError;
};

// A serial device that cannot be opened, or a property set at the wrong time.
class ESerialError : public EStbError {
 public:
  using EStbError::EStbError;
};

// The settings store cannot be read or written.
class ESettingsError : public EStbError {
 public:
  using EStbError::EStbError;
};

}  // namespace stb
