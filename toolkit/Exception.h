#pragma once
// The program's base exception: a message text and a help context, as every
// error that reaches the user carries.
#include <exception>
#include <new>
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

// The message of the exception being handled, for the user: an Exception's
// message, another exception's own text, and a plain statement for anything
// that is no exception class. Only for use inside a catch block.
inline std::string CurrentExceptionMessage() {
    try {
        throw;
    } catch (const Exception& e) {
        return e.Message();
    } catch (const std::bad_alloc&) {
        return "Out of memory.";
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
        return "An unexpected failure occurred.";
    }
}
