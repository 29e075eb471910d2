#include "console/link/serial_channel.hpp"

#include <boost/asio/buffer.hpp>
#include <boost/asio/write.hpp>
#include <boost/system/error_code.hpp>

#include <stdexcept>

namespace vistrel {

serial_channel::~serial_channel()
{
    close();
}

void serial_channel::open()
{
    if (name.empty()) {
        throw std::runtime_error("COM port name not specified.");
    }
    port.open(name);
}

void serial_channel::write(const std::vector<unsigned char>& bytes)
{
    boost::asio::write(port, boost::asio::buffer(bytes));
}

void serial_channel::close()
{
    stop_reading(*this);
}

serial_channel& process_serial_channel()
{
    static serial_channel channel;
    return channel;
}

void start_reading(serial_channel& channel, reader<unsigned char>& target)
{
    channel.loop.start(channel.io, channel.port, target);
}

void stop_reading(serial_channel& channel)
{
    try {
        channel.loop.stop();
    } catch (...) {
    }
    boost::system::error_code ignored;
    channel.port.close(ignored);
    channel.loop.drain(channel.io);
}

}  // namespace vistrel
