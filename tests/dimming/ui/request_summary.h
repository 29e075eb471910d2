// A dimming request line in short form for comparisons, e.g.
// "set 1=Init 2=Init 3=0 4=Init 5=Init 6=15": case, then each signal's value in order.
// Lines that are not a CAN signal request come back as "not a request: <line>".
#pragma once

#include <QByteArray>
#include <QString>

QString requestSummary(const QByteArray &line);
