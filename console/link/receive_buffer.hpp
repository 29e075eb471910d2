// The bytes received from the device that no message has consumed yet.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>

namespace vistrel {

// A block that grows in steps of 320 bytes and is never shrunk. It outlives the
// exchanges: bytes left by one exchange are offered to the next one first.
class receive_buffer {
public:
    static constexpr std::uint64_t growth = 5;
    static constexpr std::size_t step = growth * 64;
    static constexpr std::size_t low_water = 64;
    static constexpr std::size_t unlimited = std::numeric_limits<std::size_t>::max();

    // limit caps the capacity (at least one step); growing past it fails like an
    // allocation failure.
    explicit receive_buffer(std::size_t limit = unlimited);
    ~receive_buffer();
    receive_buffer(const receive_buffer&) = delete;
    receive_buffer& operator=(const receive_buffer&) = delete;

    unsigned char* data() { return start_; }
    std::size_t size() const { return used_; }
    std::size_t capacity() const { return capacity_; }
    std::size_t free_space() const { return capacity_ - used_; }
    unsigned char* free_start() { return start_ + used_; }

    // Grows the block by one step when fewer than 64 bytes are free. Returns false when
    // no free byte is left and the block could not grow.
    bool make_room();
    // Appends n bytes that were written at free_start().
    void commit(std::size_t n);
    // Drops the first n bytes and moves the rest to the start.
    void consume(std::size_t n);
    void clear() { used_ = 0; }

private:
    unsigned char* start_ = nullptr;
    std::size_t used_ = 0;
    std::size_t capacity_ = 0;
    std::size_t limit_;
};

}  // namespace vistrel
