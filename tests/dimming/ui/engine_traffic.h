// Writes down, in order, everything the main dialog sends towards its engine and its
// status line, as short texts: "store 1 Init", "store 3 0", "port ttyACM0", "send", ...
#pragma once

#include <QObject>
#include <QStringList>

class VistrelDimmingDlg;

class EngineTraffic : public QObject
{
    Q_OBJECT

public:
    explicit EngineTraffic(VistrelDimmingDlg &dialog);

    QStringList entries;
    // Takes the entries written so far.
    QStringList take();
};
