#pragma once

namespace xlib {

// The persistence layer's only exception type. It carries a constant message and the source
// location of the failing check; it is copied when thrown and owns nothing. It deliberately does
// not derive from std::exception: callers catch it by name where a load or save starts.
class Exception {
public:
    Exception(const char* message, const char* file, int line) noexcept
        : message_(message), file_(file), line_(line) {}
    virtual ~Exception() = default;

    const char* message() const noexcept { return message_; }
    const char* file() const noexcept { return file_; }
    int line() const noexcept { return line_; }

private:
    const char* message_;
    const char* file_;
    int line_;
};

}  // namespace xlib

#define XLIB_THROW(message) throw ::xlib::Exception((message), __FILE__, __LINE__)
