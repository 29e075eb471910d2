#include "dimming/cli/console_streams.h"

#include <cstdio>

bool writeOutput(const QByteArray &bytes)
{
    const auto size = static_cast<std::size_t>(bytes.size());
    if (size > 0 && std::fwrite(bytes.constData(), 1, size, stdout) != size)
        return false;
    return std::fflush(stdout) == 0 && !std::ferror(stdout);
}

void writeErrorLine(const QString &text)
{
    const QByteArray line = text.toUtf8() + '\n';
    std::fwrite(line.constData(), 1, static_cast<std::size_t>(line.size()), stderr);
    std::fflush(stderr);
}
