#include "console/link/serial_channel.hpp"

#include "console/link/port_claim.hpp"

#include <boost/asio/buffer.hpp>
#include <boost/asio/error.hpp>
#include <boost/asio/post.hpp>
#include <boost/asio/write.hpp>
#include <boost/system/system_error.hpp>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <new>
#include <stdexcept>
#include <utility>

namespace vistrel {

namespace {

// The failure of a port operation: the error's code and the operation's name, without
// the source location inside Boost that Asio attaches to the code it reports.
boost::system::system_error port_error(const boost::system::error_code& error, const char* operation)
{
    return boost::system::system_error(boost::system::error_code(error.value(), error.category()), operation);
}

bool is_line_end(unsigned char byte)
{
    return byte == '\n' || byte == '\r';
}

// Bytes up to and including the first line end (CR LF counts as one), or none.
std::size_t through_line_end(const unsigned char* data, std::size_t size)
{
    const unsigned char* end = std::find_if(data, data + size, is_line_end);
    if (end == data + size) {
        return 0;
    }
    std::size_t count = static_cast<std::size_t>(end - data) + 1;
    if (*end == '\r' && count < size && data[count] == '\n') {
        ++count;
    }
    return count;
}

}  // namespace

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
    if (skipping_line_) {
        skip_to_line_end();
    }
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

void receive_buffer::drop_line()
{
    const std::size_t count = through_line_end(start_, used_);
    if (count == 0) {
        drop_rest_of_line();
        return;
    }
    consume(count);
}

void receive_buffer::drop_rest_of_line()
{
    used_ = 0;
    skipping_line_ = true;
}

void receive_buffer::skip_to_line_end()
{
    const std::size_t count = through_line_end(start_, used_);
    if (count == 0) {
        used_ = 0;
        return;
    }
    consume(count);
    skipping_line_ = false;
}

serial_channel::serial_channel(std::size_t buffer_limit) : buffer_(buffer_limit) {}

serial_channel::~serial_channel()
{
    close();
}

void serial_channel::open()
{
    if (name_.empty()) {
        throw std::runtime_error("COM port name not specified.");
    }
    boost::system::error_code error;
    port_.open(name_, error);
    if (error) {
        throw port_error(open_failure(error), "open");
    }
    error = claim_port(port_.native_handle());
    if (error) {
        boost::system::error_code ignored;
        port_.close(ignored);
        throw port_error(error, "open");
    }
    // The rest of a line being dropped belonged to the port's last opening and may never come:
    // the next message must not be dropped in its place.
    buffer_.stop_dropping();
}

void serial_channel::write(const std::vector<unsigned char>& bytes)
{
    boost::system::error_code error;
    boost::asio::write(port_, boost::asio::buffer(bytes), error);
    if (error) {
        throw port_error(error, "write");
    }
}

void serial_channel::start_reading(reader<unsigned char>& target)
{
    if (thread_.joinable()) {
        std::terminate();
    }
    reader_ = &target;
    running_ = true;
    io_.restart();
    thread_ = std::thread([this] {
        read_next();
        try {
            io_.run();
        } catch (...) {
            // The handlers hand their failures to the reader; nothing is left to report.
        }
    });
}

void serial_channel::close()
{
    running_ = false;
    if (thread_.joinable() && thread_.get_id() != std::this_thread::get_id()) {
        try {
            // The cancel runs on the receive thread, the only one that touches the port
            // while it reads; the cancelled read completes and the io_context runs out of
            // work.
            boost::asio::post(port_.get_executor(), [this] {
                boost::system::error_code ignored;
                port_.cancel(ignored);
            });
            thread_.join();
        } catch (...) {
        }
    }
    boost::system::error_code ignored;
    if (port_.is_open()) {
        release_port(port_.native_handle());
    }
    port_.close(ignored);
    if (thread_.joinable()) {
        return;
    }
    // Runs, on this thread, whatever the io_context still holds (the cancelled read), so
    // that the next start begins clean.
    try {
        io_.restart();
        io_.poll();
        io_.restart();
    } catch (...) {
    }
    reader_ = nullptr;
}

void serial_channel::read_next()
{
    if (!running_ || reader_ == nullptr) {
        return;
    }
    if (!buffer_.make_room()) {
        reader_->fail(std::make_exception_ptr(std::runtime_error("receive buffer full - a message longer than "
                                                                 + std::to_string(buffer_.capacity())
                                                                 + " bytes cannot be received")));
        // The message cannot be completed: drop it up to its line end and read on.
        buffer_.drop_rest_of_line();
        buffer_.make_room();
    }
    port_.async_read_some(boost::asio::buffer(buffer_.free_start(), buffer_.free_space()),
                          [this](const boost::system::error_code& error, std::size_t count) { on_read(error, count); });
}

void serial_channel::on_read(const boost::system::error_code& error, std::size_t count)
{
    if (error == boost::asio::error::operation_aborted || reader_ == nullptr) {
        return;
    }
    if (error) {
        // The port is broken; another read would fail again at once.
        reader_->fail(std::make_exception_ptr(port_error(error, "read_some")));
        return;
    }
    buffer_.commit(count);
    reader_->deliver(buffer_);
    read_next();
}

}  // namespace vistrel
