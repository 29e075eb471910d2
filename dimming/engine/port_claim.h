// Exclusive use of the serial port: while this program holds the port, every other program
// that opens it is refused, as Windows refuses a second user of a COM port.
#pragma once

#include <QSerialPort>

// Claims the port that was just opened for this process alone. When another process holds
// it, closes the port again, leaving the holder's claim as it was, and returns false. The
// claim ends when the port is closed or the process dies.
bool claimPortOrClose(QSerialPort &port);
