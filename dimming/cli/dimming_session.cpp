#include "dimming/cli/dimming_session.h"

#include "contract/device_contract.hpp"

#include <QEventLoop>
#include <QMetaObject>

DimmingSession::DimmingSession(QObject *parent)
    : QObject(parent)
    , engine(vistrel::contract::vendor_id, vistrel::contract::product_id,
          int(vistrel::contract::dimming_reply_wait.count()), nullptr)
{
    const auto direct = Qt::DirectConnection;
    connect(&engine, &WorkingEngine::informComPorts, this, &DimmingSession::informComPorts, direct);
    connect(&engine, &WorkingEngine::informValue, this, &DimmingSession::informValue, direct);
    connect(&engine, qOverload<WorkingEngine::ErrorCommunication>(&WorkingEngine::informError), this,
        qOverload<WorkingEngine::ErrorCommunication>(&DimmingSession::informError), direct);
    connect(&engine, qOverload<Signal, WorkingEngine::ErrorSignal, QString>(&WorkingEngine::informError), this,
        qOverload<Signal, WorkingEngine::ErrorSignal, QString>(&DimmingSession::informError), direct);
    connect(&engine, &WorkingEngine::informTimeout, this, &DimmingSession::informTimeout, direct);
}

QStringList DimmingSession::listPorts()
{
    ports.clear();
    engine.refreshComPorts();
    return ports;
}

void DimmingSession::choosePort(const std::optional<QString> &port)
{
    engine.setComPort(port ? *port : listPorts().value(0));
}

void DimmingSession::store(const SignalSettings &settings)
{
    for (const SignalSetting &setting : settings) {
        if (const int *number = std::get_if<int>(&setting.value))
            engine.storeValue(setting.signal, *number);
        else if (const double *physical = std::get_if<double>(&setting.value))
            engine.storeValue(setting.signal, *physical);
        else
            engine.storeValue(setting.signal, std::get<QString>(setting.value));
    }
}

QList<EngineReport> DimmingSession::exchange(RequestMode mode)
{
    reports.clear();
    ending = false;
    QEventLoop wait;
    loop = &wait;
    if (mode == RequestMode::Set)
        engine.sendAll();
    else
        engine.receiveAll();
    // The engine reports at least once in every exchange: at once when it cannot send, else
    // when its wait has ended and it has read what arrived. All it reports from one read comes
    // within one event, so the exchange has ended when the call queued at the first report runs.
    wait.exec();
    loop = nullptr;
    return reports;
}

void DimmingSession::informComPorts(QStringList portList)
{
    ports = portList;
}

void DimmingSession::informValue(Signal _signal, int raw, double physical, QString textual)
{
    EngineReport report;
    report.kind = EngineReport::Value;
    report.signal = _signal;
    report.raw = raw;
    report.physical = physical;
    report.text = textual;
    record(report);
}

void DimmingSession::informError(WorkingEngine::ErrorCommunication error)
{
    EngineReport report;
    report.kind = EngineReport::CommunicationError;
    report.communicationError = error;
    record(report);
}

void DimmingSession::informError(Signal _signal, WorkingEngine::ErrorSignal error, QString message)
{
    EngineReport report;
    report.kind = EngineReport::SignalError;
    report.signal = _signal;
    report.signalError = error;
    report.text = message;
    record(report);
}

void DimmingSession::informTimeout()
{
    EngineReport report;
    report.kind = EngineReport::Timeout;
    record(report);
}

void DimmingSession::record(const EngineReport &report)
{
    reports.append(report);
    if (ending)
        return;
    ending = true;
    QMetaObject::invokeMethod(this, &DimmingSession::endExchange, Qt::QueuedConnection);
}

void DimmingSession::endExchange()
{
    if (loop)
        loop->quit();
}
