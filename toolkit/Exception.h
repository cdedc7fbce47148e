#pragma once
// The program's base exception: a message text and a help context, as every
// error that reaches the user carries.
#include <exception>
#include <string>

class Exception : public std::exception {
public:
    explicit Exception(std::string message) : message_(std::move(message)) {}
    const std::string& Message() const noexcept { return message_; }
    const char* what() const noexcept override { return message_.c_str(); }
    int HelpContext = 0;

private:
    std::string message_;
};
