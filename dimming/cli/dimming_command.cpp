#include "dimming/cli/dimming_command.h"

#include "dimming/cli/command_line.h"
#include "dimming/cli/console_streams.h"
#include "dimming/cli/dimming_session.h"
#include "dimming/cli/environment_ports.h"
#include "dimming/cli/presets.h"
#include "dimming/cli/signal_settings.h"
#include "dimming/cli/usage.h"
#include "dimming/cli/value_text.h"
#include "dimming/engine/texts.h"

#include <map>

namespace {

// The result of a command: what goes to standard output, or the one line of its failure.
struct Outcome
{
    QByteArray output;
    QString failure;
};

Outcome failed(const QString &line)
{
    return {QByteArray(), line};
}

// The dialog's text for a signal error, with the signal's name added.
QString signalErrorLine(const EngineReport &report)
{
    QString line = msgUnknownSignalError + QStringLiteral(" - ") + report.text;
    const QString name = signalName(report.signal);
    if (!name.isEmpty())
        line += QStringLiteral(" Signal: ") + name;
    return line;
}

QString invalidValueLine(Signal signal)
{
    return msgInvalidValue + QStringLiteral(" Signal: ") + signalName(signal);
}

bool isDimmingSignal(Signal signal)
{
    return std::find(dimmingSignals.begin(), dimmingSignals.end(), signal) != dimmingSignals.end();
}

// A get succeeds when every signal came with a value the dialog takes, or was reported
// unavailable, and nothing failed; the first failure reported is the one shown.
Outcome readValues(DimmingSession &session)
{
    std::map<Signal, QString> texts;
    QString failure;
    const QList<EngineReport> reports = session.exchange(RequestMode::Get);
    for (const EngineReport &report : reports) {
        QString problem;
        switch (report.kind) {
        case EngineReport::Value:
            if (!isDimmingSignal(report.signal))
                break;  // the dialog has no control for it
            if (const auto text = receivedValueText(report.signal, report.raw, report.physical, report.text))
                texts[report.signal] = *text;
            else
                problem = invalidValueLine(report.signal);
            break;
        case EngineReport::SignalError:
            if (report.signalError != WorkingEngine::SignalUnavailable)
                problem = signalErrorLine(report);
            else if (isDimmingSignal(report.signal))
                texts[report.signal] = unavailableText;
            break;
        case EngineReport::CommunicationError:
            problem = communicationMessage(report.communicationError);
            break;
        case EngineReport::Timeout:
            problem = msgReceiveFailed;
            break;
        }
        if (failure.isEmpty())
            failure = problem;
    }
    if (!failure.isEmpty())
        return failed(failure);

    QByteArray output;
    for (Signal signal : dimmingSignals) {
        const auto text = texts.find(signal);
        if (text == texts.end())
            return failed(msgReceiveFailed);  // the answer left the signal out
        output += (signalName(signal) + QLatin1Char('=') + text->second + QLatin1Char('\n')).toUtf8();
    }
    return {output, QString()};
}

// A set succeeds when the device accepts it in silence (or answers with values); any error,
// also an unavailable signal, fails it.
Outcome sendValues(DimmingSession &session, const SignalSettings &settings)
{
    session.store(settings);
    const QList<EngineReport> reports = session.exchange(RequestMode::Set);
    for (const EngineReport &report : reports) {
        if (report.kind == EngineReport::SignalError)
            return failed(signalErrorLine(report));
        if (report.kind == EngineReport::CommunicationError)
            return failed(communicationMessage(report.communicationError));
    }
    return {};
}

Outcome run(const CommandLine &line)
{
    switch (line.action) {
    case CommandLine::Usage:
        return failed(usageLine);
    case CommandLine::Help:
        return {helpText.toUtf8(), QString()};
    default:
        break;
    }

    std::optional<SignalSettings> settings;
    if (line.action == CommandLine::Set) {
        SettingsReading reading = readSettings(line.arguments);
        if (!reading.refusal.isEmpty())
            return failed(reading.refusal);
        settings = std::move(reading.settings);
    } else if (line.action == CommandLine::Preset) {
        settings = presetSettings(line.arguments.front());
    }

    usePortsFromEnvironment();
    DimmingSession session;
    if (line.action == CommandLine::ListPorts) {
        QByteArray output;
        for (const QString &port : session.listPorts())
            output += (port + QLatin1Char('\n')).toUtf8();
        return {output, QString()};
    }
    if (line.port)
        useOnlyPort(*line.port);
    session.choosePort(line.port);
    if (settings)
        return sendValues(session, *settings);
    session.store(startSettings());
    return readValues(session);
}

}  // namespace

int runDimmingCommand(const QStringList &words)
{
    const Outcome outcome = run(readCommandLine(words));
    if (!outcome.failure.isEmpty()) {
        writeErrorLine(outcome.failure);
        return 1;
    }
    if (!writeOutput(outcome.output)) {
        writeErrorLine(QStringLiteral("Cannot write standard output."));
        return 1;
    }
    return 0;
}
