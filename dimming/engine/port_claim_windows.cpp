// Windows: a COM port belongs to the one process that opened it; the system has already
// refused the open if another process holds it.
#include "dimming/engine/port_claim.h"

bool claimPortOrClose(QSerialPort & /*port*/)
{
    return true;
}
