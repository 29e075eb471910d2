// vistrel-dimming: reads and sets the device's dimming signals from the command line, on the
// same engine as the windowed program.
#include "dimming/cli/dimming_command.h"
#include "dimming/cli/message_filter.h"

#include <QCoreApplication>

int main(int argc, char *argv[])
{
    // Before the application object, so that nothing the engine says reaches standard error.
    installMessageFilter();
    QCoreApplication application(argc, argv);
    return runDimmingCommand(QCoreApplication::arguments().mid(1));
}
