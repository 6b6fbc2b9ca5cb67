// The one exception root of the program: every error carries a message.
#pragma once
#include <stdexcept>
#include <string>

namespace fw {

class Exception : public std::runtime_error {
 public:
  explicit Exception(const std::string& message) : std::runtime_error(message) {}
  std::string Message() const { return what(); }
};

class EReadError : public Exception { using Exception::Exception; };
class EClassNotFound : public EReadError { using EReadError::EReadError; };
class EComponentError : public Exception { using Exception::Exception; };
class EOutOfResources : public Exception { using Exception::Exception; };
class EInvalidGraphic : public Exception { using Exception::Exception; };
// A text that is not the number or name a conversion asked for.
class EConvertError : public Exception { using Exception::Exception; };

}  // namespace fw
