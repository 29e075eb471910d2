// A pseudo-terminal pair for talking to Device as if it were the device: the test
// holds the master side, Device opens the slave path.
#pragma once

#include <QByteArray>
#include <QString>

class PseudoTerminal
{
public:
    PseudoTerminal();
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal &) = delete;
    PseudoTerminal &operator=(const PseudoTerminal &) = delete;

    bool isValid() const { return master >= 0; }
    const QString &slavePath() const { return path; }

    // Writes all bytes to the slave's input.
    bool send(const QByteArray &bytes);
    // Reads what the slave has written, waiting at most timeoutMs for the first byte
    // and gatherMs for each following piece.
    QByteArray receive(int timeoutMs, int gatherMs = 50);

private:
    int master = -1;
    int slaveKeeper = -1;  // keeps the line open while Device closes and reopens it
    QString path;
};
