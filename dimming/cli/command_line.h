// The words of the command line, read into what to do: list the ports, show the help, or
// run get, set or a preset on a port.
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

struct CommandLine
{
    enum Action {
        Usage,  // the words make no command: print the usage line, fail
        Help,
        ListPorts,
        Get,
        Set,
        Preset,
    };

    Action action = Usage;
    std::optional<QString> port;  // -c PORT; the port is searched for without it
    QStringList arguments;  // set's NAME=VALUE words, or the preset's name
};

CommandLine readCommandLine(const QStringList &words);
