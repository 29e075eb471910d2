#include "console/link/receive_loop.hpp"

#include <boost/asio/buffer.hpp>
#include <boost/asio/error.hpp>
#include <boost/asio/post.hpp>
#include <boost/system/system_error.hpp>

#include <algorithm>
#include <exception>
#include <stdexcept>
#include <string>

namespace vistrel {

namespace {

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

receive_loop::receive_loop(std::size_t buffer_limit) : buffer_(buffer_limit) {}

receive_loop::~receive_loop()
{
    if (thread_.joinable()) {
        // The owner must stop the thread first; a thread left running would read
        // into a freed buffer.
        std::terminate();
    }
}

void receive_loop::start(boost::asio::io_context& io, boost::asio::serial_port& port,
                         reader<unsigned char>& target)
{
    if (thread_.joinable()) {
        std::terminate();
    }
    port_ = &port;
    reader_ = &target;
    running_ = true;
    io.restart();
    thread_ = std::thread([this, &io] {
        read_next();
        try {
            io.run();
        } catch (...) {
            // The handlers catch what they raise; nothing is left to report here.
        }
    });
}

void receive_loop::stop()
{
    running_ = false;
    if (!thread_.joinable()) {
        return;
    }
    if (thread_.get_id() == std::this_thread::get_id()) {
        return;
    }
    // The cancel runs on the receive thread, the only one that touches the port while
    // it reads; the cancelled read completes and the io_context runs out of work.
    boost::asio::post(port_->get_executor(), [port = port_] {
        boost::system::error_code ignored;
        port->cancel(ignored);
    });
    thread_.join();
}

void receive_loop::drain(boost::asio::io_context& io)
{
    if (thread_.joinable()) {
        return;
    }
    try {
        io.restart();
        io.poll();
        io.restart();
    } catch (...) {
    }
    reader_ = nullptr;
}

void receive_loop::read_next()
{
    if (!running_ || reader_ == nullptr) {
        return;
    }
    if (!buffer_.make_room()) {
        try {
            throw std::runtime_error("receive buffer full - a message longer than " +
                                     std::to_string(buffer_.capacity()) +
                                     " bytes cannot be received");
        } catch (...) {
            fail();
        }
        // The message cannot be completed: drop it up to its line end and read on.
        buffer_.clear();
        skipping_line_ = true;
        buffer_.make_room();
    }
    port_->async_read_some(boost::asio::buffer(buffer_.free_start(), buffer_.free_space()),
                           [this](const boost::system::error_code& error, std::size_t count) {
                               on_read(error, count);
                           });
}

void receive_loop::on_read(const boost::system::error_code& error, std::size_t count)
{
    if (error == boost::asio::error::operation_aborted || reader_ == nullptr) {
        return;
    }
    if (error) {
        try {
            // The code alone, without the source location that Asio attaches to it.
            throw boost::system::system_error(
                boost::system::error_code(error.value(), error.category()), "read_some");
        } catch (...) {
            fail();
        }
        // The port is broken; another read would fail again at once.
        return;
    }
    buffer_.commit(count);
    if (skipping_line_) {
        skip_to_line_end();
    }
    offer();
    read_next();
}

void receive_loop::offer()
{
    std::lock_guard<std::mutex> guard(reader_->lock);
    if (!reader_->active) {
        return;
    }
    while (buffer_.size() > 0) {
        std::size_t length = buffer_.size();
        try {
            if (reader_->do_call(buffer_.data(), length)) {
                return;
            }
            const std::size_t consumed = buffer_.size() - std::min(length, buffer_.size());
            if (consumed == 0) {
                return;
            }
            buffer_.consume(consumed);
        } catch (...) {
            try {
                reader_->on_failure();
            } catch (...) {
            }
            drop_bad_line();
        }
    }
}

void receive_loop::fail()
{
    std::lock_guard<std::mutex> guard(reader_->lock);
    if (reader_->active) {
        try {
            reader_->on_failure();
        } catch (...) {
        }
    }
}

// The buffer starts with a message that cannot be read. Everything up to its line
// end goes, so that the next message is read from its first byte.
void receive_loop::drop_bad_line()
{
    const std::size_t count = through_line_end(buffer_.data(), buffer_.size());
    if (count == 0) {
        buffer_.clear();
        skipping_line_ = true;
        return;
    }
    buffer_.consume(count);
}

void receive_loop::skip_to_line_end()
{
    const std::size_t count = through_line_end(buffer_.data(), buffer_.size());
    if (count == 0) {
        buffer_.clear();
        return;
    }
    buffer_.consume(count);
    skipping_line_ = false;
}

}  // namespace vistrel
