#include "dimming/cli/command_line.h"

#include "dimming/cli/presets.h"

CommandLine readCommandLine(const QStringList &words)
{
    CommandLine line;
    qsizetype next = 0;
    // Options come before the command.
    while (next < words.size()) {
        const QString &word = words[next];
        if (word == QLatin1String("--help") || word == QLatin1String("-h")) {
            line.action = CommandLine::Help;
            return line;
        }
        if (word == QLatin1String("-l")) {
            // The listing stands alone.
            line.action = words.size() == 1 ? CommandLine::ListPorts : CommandLine::Usage;
            return line;
        }
        if (word == QLatin1String("-c") || word.startsWith(QLatin1String("-c="))) {
            if (line.port)
                return line;
            QString port = word.mid(3);
            if (word.size() == 2) {
                if (++next == words.size())
                    return line;
                port = words[next];
            }
            if (port.isEmpty())
                return line;
            line.port = port;
            ++next;
            continue;
        }
        break;
    }
    if (next == words.size())
        return line;

    const QString command = words[next];
    line.arguments = words.mid(next + 1);
    if (command == QLatin1String("get") && line.arguments.isEmpty())
        line.action = CommandLine::Get;
    else if (command == QLatin1String("set") && !line.arguments.isEmpty())
        line.action = CommandLine::Set;
    else if (command == QLatin1String("preset") && line.arguments.size() == 1
        && presetNames.contains(line.arguments.front()))
        line.action = CommandLine::Preset;
    return line;
}
