// Strings and the Exception class family.
//
// Exception is what the component library throws and what the application object shows.
// Anything else that escapes a handler is shown through an Exception made from it.
#pragma once

#include <stdexcept>
#include <string>

using String = std::string;
using AnsiString = std::string;

class Exception : public std::exception {
public:
    explicit Exception(String message) : m_message(std::move(message)) {}
    const String& Message() const { return m_message; }
    const char* what() const noexcept override { return m_message.c_str(); }

private:
    String m_message;
};

// A form description that does not fit its classes: unknown class, property, member or
// handler, a value of the wrong kind, a member left unfilled. The message names the
// description, the line, the object and the name.
class EReadError : public Exception {
public:
    using Exception::Exception;
};

class EInvalidOperation : public Exception {
public:
    using Exception::Exception;
};

class EResNotFound : public Exception {
public:
    using Exception::Exception;
};
