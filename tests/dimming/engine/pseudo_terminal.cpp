#include "pseudo_terminal.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

PseudoTerminal::PseudoTerminal()
{
    master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0)
        return;
    if (grantpt(master) != 0 || unlockpt(master) != 0) {
        ::close(master);
        master = -1;
        return;
    }
    path = QString::fromLocal8Bit(ptsname(master));
    slaveKeeper = ::open(ptsname(master), O_RDWR | O_NOCTTY);
    if (slaveKeeper >= 0) {
        termios raw{};
        tcgetattr(slaveKeeper, &raw);
        cfmakeraw(&raw);
        tcsetattr(slaveKeeper, TCSANOW, &raw);
    }
}

PseudoTerminal::~PseudoTerminal()
{
    if (slaveKeeper >= 0)
        ::close(slaveKeeper);
    if (master >= 0)
        ::close(master);
}

bool PseudoTerminal::send(const QByteArray &bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(master, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (written <= 0)
            return false;
        done += written;
    }
    return true;
}

QByteArray PseudoTerminal::receive(int timeoutMs, int gatherMs)
{
    QByteArray bytes;
    pollfd watch{master, POLLIN, 0};
    int wait = timeoutMs;
    while (poll(&watch, 1, wait) > 0 && (watch.revents & POLLIN)) {
        char chunk[4096];
        const ssize_t got = ::read(master, chunk, sizeof chunk);
        if (got <= 0)
            break;
        bytes.append(chunk, got);
        wait = gatherMs;  // gather what follows directly
    }
    return bytes;
}
