#include "dimming/engine/working_engine.h"

#include "dimming/engine/device_guard.h"
#include "dimming/engine/reply_parser.h"
#include "dimming/engine/request_builder.h"

#include "contract/device_contract.hpp"

#include <QDebug>
#include <QTimer>

#include <memory>

namespace {
const char *const traceRule = "\n----- ----- -----\n";

// Signals 1 to 5 are held from the start, so that a get request always names them.
SignalValues initialValues()
{
    SignalValues values;
    for (Signal signal : {Signal::DI_KL_58xd, Signal::DI_KL_58xs, Signal::DI_Display_Nachtdesign, Signal::DI_KL_58xt,
             Signal::LS_Helligkeit_FW})
        values.emplace(signal, SignalValue());
    return values;
}

// Registered by name before main runs, like Signal.
[[maybe_unused]] const int communicationMetaTypeId =
    qRegisterMetaType<WorkingEngine::ErrorCommunication>("WorkingEngine::ErrorCommunication");
[[maybe_unused]] const int signalErrorMetaTypeId =
    qRegisterMetaType<WorkingEngine::ErrorSignal>("WorkingEngine::ErrorSignal");

bool isSignalError(qint32 number)
{
    const qint32 categoryByte = (number >> 8) & 0xFF;
    return number != -1 && categoryByte == (vistrel::contract::signal_error_first >> 8);
}
}  // namespace

WorkingEngine::WorkingEngine(quint16 vendor, quint16 product, int milliseconds, QObject *parent)
    : QObject(parent)
    , vendorId(vendor)
    , productId(product)
    , values(initialValues())
    , timeout(milliseconds)
{
}

void WorkingEngine::setTimeout(int milliseconds)
{
    timeout = milliseconds;
}

void WorkingEngine::refreshComPorts()
{
    updateComPorts(false);
}

void WorkingEngine::setComPort(QString name)
{
    device.setPortName(name);
}

void WorkingEngine::storeValue(Signal _signal, int number)
{
    values.insert_or_assign(_signal, SignalValue(number));
}

void WorkingEngine::storeValue(Signal _signal, double number)
{
    values.insert_or_assign(_signal, SignalValue(number));
}

void WorkingEngine::storeValue(Signal _signal, QString text)
{
    values.insert_or_assign(_signal, SignalValue(text));
}

void WorkingEngine::sendAll()
{
    runExchange(RequestMode::Set);
}

void WorkingEngine::receiveAll()
{
    runExchange(RequestMode::Get);
}

bool WorkingEngine::updateComPorts(bool select)
{
    const QStringList ports = Device::availablePorts(vendorId, productId);
    emit informComPorts(ports);
    if (!select)
        return true;
    if (ports.isEmpty()) {
        emit informError(NoDeviceFound);
        return false;
    }
    if (ports.size() > 1) {
        emit informError(DeviceNotSelected);
        return false;
    }
    device.setPortName(ports.front());
    return true;
}

bool WorkingEngine::sendRequest(RequestMode mode)
{
    bool searched = false;
    if (!device.open()) {
        if (!updateComPorts(true))
            return false;
        device.open();
        searched = true;
    }
    if (!device.isOpen()) {
        emit informError(CannotConnect);
        return false;
    }

    const QByteArray request = buildRequest(mode, values);
    qDebug().noquote().nospace() << "----- ----- ----- sending JSON: ----- ----- -----\n" << request << traceRule;
    if (request.isEmpty()) {
        // Nothing was written, so there is nothing to wait for.
        emit informError(SendFailed);
        return false;
    }

    if (device.write(request))
        return true;
    if (searched) {
        emit informError(SendFailed);
        return false;
    }
    if (!updateComPorts(true))
        return false;
    if (device.write(request))
        return true;
    emit informError(SendFailed);
    return false;
}

void WorkingEngine::runExchange(RequestMode mode)
{
    auto guard = std::make_shared<DeviceGuard>(device);
    if (!sendRequest(mode))
        return;
    // The engine is the timer's context: an engine destroyed while the wait runs
    // takes the pending read with it instead of leaving it to a dangling engine.
    QTimer::singleShot(timeout, this, [this, mode, guard] {
        readReplies(mode);
        guard->release();
    });
}

void WorkingEngine::readReplies(RequestMode mode)
{
    QByteArray received;
    if (!device.read(received)) {
        emit informError(ReceiveFailed);
        return;
    }
    qDebug().noquote().nospace() << "----- ----- ----- reading JSON(s): ----- ----- -----\n" << received << traceRule;

    const ParsedReplies replies = parseReplies(received);
    for (const SignalValues &reply : replies.values) {
        for (const auto &[_signal, value] : reply)
            emit informValue(_signal, value.raw, value.physical, QString::fromUtf8(value.textual));
    }

    bool answered = !replies.values.isEmpty();
    // A refusal, or bytes that are no reply, tell that the request was not carried out.
    bool refused = replies.refusals > 0 || replies.unreadable > 0;
    for (const SignalErrors &reply : replies.errors) {
        for (const auto &[_signal, error] : reply) {
            if (!isSignalError(error.number)) {
                refused = true;
                continue;
            }
            const auto code = static_cast<ErrorSignal>(error.number & 0xFF);
            emit informError(_signal, code, QString::fromUtf8(error.message));
            if (code != SignalUnavailable)
                answered = true;
        }
    }

    if (answered)
        return;
    // A set is accepted in silence; one that was refused ends like a get without answer.
    if (mode == RequestMode::Set && !refused)
        emit informTimeout();
    else
        emit informError(ReceiveFailed);
}
