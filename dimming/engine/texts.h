// Every text the windowed program shows: choices, version, titles, messages, status line.
// They are written in their final form and are not translated at run time.
#pragma once

#include "dimming/engine/working_engine.h"

#include <QString>

// Entries of the choice boxes of signals 1, 2, 4 and 5, by position.
extern const QString choiceInit;  // 0: the named value "Init"
extern const QString choiceError;  // 1: the named value "Fehler"
extern const QString choiceNumber;  // 2: the slider's number

extern const QString appVersion;
extern const QString appYear;

extern const QString titleCommunicationError;
extern const QString titleSignalValueError;

extern const QString msgCannotConnect;
extern const QString msgNoDevice;
extern const QString msgSelectDevice;
extern const QString msgSendFailed;
extern const QString msgReceiveFailed;
extern const QString msgUnknownError;

// The message that tells of a communication error of the engine.
QString communicationMessage(WorkingEngine::ErrorCommunication error);

extern const QString msgInvalidValue;
extern const QString msgUnknownSignalError;

extern const QString statusGetting;
extern const QString statusSetting;
extern const QString statusGot;
extern const QString statusSet;
