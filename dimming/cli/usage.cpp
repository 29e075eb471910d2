#include "dimming/cli/usage.h"

const QString usageLine = QStringLiteral(
    "Usage: vistrel-dimming [-c PORT] (get | set NAME=VALUE... | preset init|error|day-max|night-max) | -l | --help");

const QString helpText =
    QStringLiteral("Usage: vistrel-dimming [-c PORT] get\n"
                   "       vistrel-dimming [-c PORT] set NAME=VALUE...\n"
                   "       vistrel-dimming [-c PORT] preset init|error|day-max|night-max\n"
                   "       vistrel-dimming -l\n"
                   "Reads and sets the dimming signals of a Vistrel device, as VistrelDimming does.\n"
                   "\n"
                   "  -c PORT     the device's serial port (default: the first port -l lists)\n"
                   "  -l          list the ports of connected devices (USB 0483:5740), one per line\n"
                   "  -h, --help  show this help\n"
                   "\n"
                   "get prints the six signals as NAME=VALUE, one per line; set takes the same words:\n"
                   "  DI_KL_58xd                   Init, Fehler or a number from 0 to 253\n"
                   "  DI_KL_58xs                   Init, Fehler or a number from 0 to 100\n"
                   "  DI_Display_Nachtdesign       0 or 1\n"
                   "  DI_KL_58xt                   Init, Fehler or a number from 0 to 100\n"
                   "  LS_Helligkeit_FW             Init, Fehler or a number from 0 to 6126\n"
                   "  RLS_Vorfeldhelligkeit_Boost  a lux band, groesser_24413_Lux, bis_24413_Lux ... bis_6428_Lux,\n"
                   "                               or its position from 0 to 15\n"
                   "A signal the device does not serve now reads NAME=unavailable; set refuses that value.\n"
                   "\n"
                   "Presets, as the Quick Settings buttons send them:\n"
                   "  init       Init everywhere, night design off, band bis_6428_Lux\n"
                   "  error      Fehler everywhere, night design off, band bis_6428_Lux\n"
                   "  day-max    253, 0, night design off, 0, 6126, band groesser_24413_Lux\n"
                   "  night-max  100, 100, night design on, 100, 0, band bis_6428_Lux\n"
                   "\n"
                   "Exit status: 0 on success, 1 on any failure (one line on standard error).\n");
