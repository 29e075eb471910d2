// The program's two streams: results to standard output, one line per failure to standard error.
#pragma once

#include <QByteArray>
#include <QString>

// Writes every byte to standard output and flushes it; false when that fails.
bool writeOutput(const QByteArray &bytes);

// Writes the text and a line end to standard error.
void writeErrorLine(const QString &text);
