#pragma once

#include <stdexcept>
#include <string>

namespace furlox {

// A failed operation. The message is CP932 text meant for the user, worded as the program
// shows it; the window layer or the CLI shows it and goes on.
class Error : public std::runtime_error
{
public:
    explicit Error(const std::string& cp932Message) : std::runtime_error(cp932Message) {}
};

// A text that had to be a whole number was not ("'%s' は整数ではありません").
class ConvertError : public Error
{
public:
    using Error::Error;
};

} // namespace furlox
