// The windowed program's protocol engine. It keeps the values to send, finds the
// device's port, runs one exchange at a time (open, write one request, wait, read
// what has arrived, parse, close) and reports ports, values and failures by signals.
#pragma once

#include "dimming/engine/device.h"
#include "dimming/engine/request_mode.h"
#include "dimming/engine/signal.h"
#include "dimming/engine/signal_maps.h"

#include <QDataStream>
#include <QObject>
#include <QString>
#include <QStringList>

class WorkingEngine : public QObject
{
    Q_OBJECT

public:
    enum ErrorCommunication : qint32 {
        CannotConnect = 1,
        NoDeviceFound = 2,
        DeviceNotSelected = 3,
        SendFailed = 4,
        ReceiveFailed = 5,
    };
    Q_ENUM(ErrorCommunication)

    // The low byte of a device signal error (0x0300 to 0x03FF), passed on unchanged.
    enum ErrorSignal : qint32 {
        // The device does not serve the signal now; this is no answer.
        SignalUnavailable = 21,
    };
    Q_ENUM(ErrorSignal)

    WorkingEngine(quint16 vendorId, quint16 productId, int timeout, QObject *parent = nullptr);

signals:
    void informComPorts(QStringList portList);
    void informValue(Signal _signal, int raw, double physical, QString textual);
    void informError(WorkingEngine::ErrorCommunication error);
    void informError(Signal _signal, WorkingEngine::ErrorSignal error, QString message);
    void informTimeout();

public slots:
    void setTimeout(int milliseconds);
    void refreshComPorts();
    void setComPort(QString name);
    void storeValue(Signal _signal, int number);
    void storeValue(Signal _signal, double number);
    void storeValue(Signal _signal, QString text);
    void sendAll();
    void receiveAll();

private:
    bool updateComPorts(bool select);
    bool sendRequest(RequestMode mode);
    void runExchange(RequestMode mode);
    void readReplies(RequestMode mode);

    quint16 vendorId;
    quint16 productId;
    SignalValues values;
    Device device;
    int timeout;
};
