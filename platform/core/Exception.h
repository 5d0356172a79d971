#pragma once
/** Exception hierarchy shared by every library of the program.
 *  Each class carries the message text that the user eventually sees. */

#include <exception>
#include <string>

class Exception : public std::exception {
public:
  explicit Exception(std::string message) : FMessage(std::move(message)) {}
  const std::string& Message() const noexcept { return FMessage; }
  const char* what() const noexcept override { return FMessage.c_str(); }

private:
  std::string FMessage;
};

/** Index outside a list. */
class EListError : public Exception { using Exception::Exception; };
/** Text that does not convert to the requested type. */
class EConvertError : public Exception { using Exception::Exception; };
/** File system failures. */
class EInOutError : public Exception { using Exception::Exception; };
/** A file that cannot be opened for reading. */
class EFOpenError : public EInOutError { using EInOutError::EInOutError; };
/** A file that cannot be created or written. */
class EFCreateError : public EInOutError { using EInOutError::EInOutError; };
/** A malformed, unreadable or unwritable XML document. */
class EXMLDocError : public Exception { using Exception::Exception; };
