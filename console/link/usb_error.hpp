// Failure of USB enumeration or of a USB device lookup.
#pragma once

#include <exception>
#include <string>
#include <utility>

namespace vistrel {

// Deliberately not a std::runtime_error: the entry point reports runtime_error texts, while a
// failed device listing ends the program with exit status 1 and no message.
class usb_error : public std::exception {
public:
    explicit usb_error(std::string message) : message_(std::move(message)) {}
    const char* what() const noexcept override { return message_.c_str(); }

private:
    std::string message_;
};

}  // namespace vistrel
