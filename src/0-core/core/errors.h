// The editor's exception classes. Every failure inside the engine is an exception that carries a
// message fit to show the user (UTF-8); uncaught ones end in the application's exception box.
#pragma once

#include <stdexcept>
#include <string>

namespace kst {

// Base of all of the system's exceptions.
class Exception : public std::runtime_error {
public:
    explicit Exception(const std::string& Message) : std::runtime_error(Message) {}
};

// An index outside a list.
class EStringListError : public Exception {
public:
    using Exception::Exception;
};

// Assigning an object of an unsuitable class.
class EConvertError : public Exception {
public:
    using Exception::Exception;
};

// A file that cannot be opened, read or written.
class EFileError : public Exception {
public:
    using Exception::Exception;
};

// The clipboard cannot be opened or written.
class EClipboardError : public Exception {
public:
    using Exception::Exception;
};

// "The list index is out of range": raised for every row or item index outside a list.
extern const char* const kListIndexError;

[[noreturn]] void RaiseListIndexError();

// "'Text' is not a valid integer": raised when a text that should be a number is none.
[[noreturn]] void RaiseInvalidInteger(const std::string& Text);

} // namespace kst
