#include "console/link/receive_buffer.hpp"

#include <cstdlib>
#include <cstring>
#include <new>

namespace vistrel {

receive_buffer::receive_buffer(std::size_t limit) : limit_(limit < step ? step : limit)
{
    start_ = static_cast<unsigned char*>(std::malloc(step));
    if (start_ == nullptr) {
        throw std::bad_alloc();
    }
    capacity_ = step;
}

receive_buffer::~receive_buffer()
{
    std::free(start_);
}

bool receive_buffer::make_room()
{
    if (free_space() >= low_water) {
        return true;
    }
    if (capacity_ <= limit_ - step) {
        void* grown = std::realloc(start_, capacity_ + step);
        if (grown != nullptr) {
            start_ = static_cast<unsigned char*>(grown);
            capacity_ += step;
            return true;
        }
    }
    // Could not grow: go on with what is left, if anything.
    return free_space() > 0;
}

void receive_buffer::commit(std::size_t n)
{
    used_ += n < free_space() ? n : free_space();
}

void receive_buffer::consume(std::size_t n)
{
    if (n >= used_) {
        used_ = 0;
        return;
    }
    std::memmove(start_, start_ + n, used_ - n);
    used_ -= n;
}

}  // namespace vistrel
