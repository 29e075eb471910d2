#include "dimming/engine/texts.h"

const QString choiceInit = QStringLiteral("Init");
const QString choiceError = QStringLiteral("Fehler");
const QString choiceNumber = QStringLiteral("Number");

const QString appVersion = QStringLiteral("1.2");
const QString appYear = QStringLiteral("2025");

const QString titleCommunicationError = QStringLiteral("Communication Error");
const QString titleSignalValueError = QStringLiteral("Signal Value Error");

const QString msgCannotConnect = QStringLiteral("Cannot connect to the device!");
const QString msgNoDevice = QStringLiteral("No device found!");
const QString msgSelectDevice = QStringLiteral("Please select the device!");
const QString msgSendFailed = QStringLiteral("Communication to device failed!");
const QString msgReceiveFailed = QStringLiteral("Communication from device failed!");
const QString msgUnknownError = QStringLiteral("Unknown error occured!");

const QString msgInvalidValue = QStringLiteral("Invalid Value received!");
const QString msgUnknownSignalError = QStringLiteral("Unknown signal error occured!");

const QString statusGetting = QStringLiteral("Getting values in progress.");
const QString statusSetting = QStringLiteral("Setting values in progress.");
const QString statusGot = QStringLiteral("Values have been successfully got.");
const QString statusSet = QStringLiteral("Values have been successfully set.");

QString communicationMessage(WorkingEngine::ErrorCommunication error)
{
    switch (error) {
    case WorkingEngine::CannotConnect:
        return msgCannotConnect;
    case WorkingEngine::NoDeviceFound:
        return msgNoDevice;
    case WorkingEngine::DeviceNotSelected:
        return msgSelectDevice;
    case WorkingEngine::SendFailed:
        return msgSendFailed;
    case WorkingEngine::ReceiveFailed:
        return msgReceiveFailed;
    }
    return msgUnknownError;
}
