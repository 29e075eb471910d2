#include "dimming/cli/message_filter.h"

#include <QtGlobal>

namespace {
QtMessageHandler previousHandler = nullptr;

void filterMessage(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtDebugMsg || type == QtInfoMsg)
        return;
    if (previousHandler)
        previousHandler(type, context, message);
}
}  // namespace

void installMessageFilter()
{
    // Qt hands back its default handler when none was installed before.
    previousHandler = qInstallMessageHandler(filterMessage);
}
