// Unix: an exclusive flock on the port's open file, which every program that asks for it
// honours, whoever runs it (root too). QSerialPort adds the terminal's exclusive mode
// (TIOCEXCL) on open and clears it on close.
#include "dimming/engine/port_claim.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

bool claimPortOrClose(QSerialPort &port)
{
    const int handle = port.handle();
    // A file that takes no lock is used with what it takes.
    if (::flock(handle, LOCK_EX | LOCK_NB) == 0 || errno != EWOULDBLOCK)
        return true;

    // The exclusive mode belongs to the terminal, so QSerialPort's close would clear the
    // holder's: a spare descriptor of the same open file sets it again after the close.
    const int spare = ::fcntl(handle, F_DUPFD_CLOEXEC, 0);
    port.close();
    if (spare >= 0) {
        ::ioctl(spare, TIOCEXCL);
        ::close(spare);
    }
    return false;
}
