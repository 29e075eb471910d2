#include "tests/dimming/ui/engine_traffic.h"

#include "dimming/ui/vistrel_dimming_dlg.h"

EngineTraffic::EngineTraffic(VistrelDimmingDlg &dialog)
{
    connect(&dialog, &VistrelDimmingDlg::refreshComPorts, this, [this] { entries << "refresh"; });
    connect(&dialog, &VistrelDimmingDlg::setComPort, this, [this](const QString &name) { entries << "port " + name; });
    connect(&dialog, qOverload<Signal, int>(&VistrelDimmingDlg::storeValue), this,
        [this](Signal s, int value) { entries << QString("store %1 %2").arg(int(s)).arg(value); });
    connect(&dialog, qOverload<Signal, double>(&VistrelDimmingDlg::storeValue), this,
        [this](Signal s, double value) { entries << QString("store %1 %2 (double)").arg(int(s)).arg(value); });
    connect(&dialog, qOverload<Signal, QString>(&VistrelDimmingDlg::storeValue), this,
        [this](Signal s, const QString &value) { entries << QString("store %1 %2").arg(int(s)).arg(value); });
    connect(&dialog, &VistrelDimmingDlg::sendAll, this, [this] { entries << "send"; });
    connect(&dialog, &VistrelDimmingDlg::receiveAll, this, [this] { entries << "receive"; });
    connect(
        &dialog, &VistrelDimmingDlg::statusChanged, this, [this](const QString &text) { entries << "status " + text; });
}

QStringList EngineTraffic::take()
{
    QStringList taken;
    taken.swap(entries);
    return taken;
}
