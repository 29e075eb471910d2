// Drives the engine as the dialog does, one step per call: lists the ports, chooses the port,
// stores the values to send, and runs one exchange, collecting what the engine reports.
#pragma once

#include "dimming/cli/engine_report.h"
#include "dimming/cli/signal_setting.h"
#include "dimming/engine/request_mode.h"
#include "dimming/engine/working_engine.h"

#include <QEventLoop>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <optional>

class DimmingSession : public QObject
{
    Q_OBJECT

public:
    explicit DimmingSession(QObject *parent = nullptr);

    // The ports of connected devices, by the engine's USB identity search.
    QStringList listPorts();
    // The named port, or else the first listed one (none when none is listed), as the dialog
    // takes the first entry of its port box.
    void choosePort(const std::optional<QString> &port);
    void store(const SignalSettings &settings);
    // Runs one exchange and returns, in order, what the engine reported until it ended.
    QList<EngineReport> exchange(RequestMode mode);

private slots:
    void informComPorts(QStringList portList);
    void informValue(Signal _signal, int raw, double physical, QString textual);
    void informError(WorkingEngine::ErrorCommunication error);
    void informError(Signal _signal, WorkingEngine::ErrorSignal error, QString message);
    void informTimeout();

private:
    void record(const EngineReport &report);
    void endExchange();

    WorkingEngine engine;
    QStringList ports;
    QList<EngineReport> reports;
    QEventLoop *loop = nullptr;  // the wait of the running exchange
    bool ending = false;  // the end of the running exchange is queued
};
