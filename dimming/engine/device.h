// The windowed program's handle on the device's serial port: remembers the chosen
// port name, opens and closes the port, writes a whole request and drains what has
// arrived. It never waits and connects no signal of the port.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QSerialPort>
#include <QString>
#include <QStringList>

class Device : public QObject
{
    Q_OBJECT

public:
    static constexpr qsizetype chunkSize = 1024;

    explicit Device(QObject *parent = nullptr);

    const QString &portName() const { return name; }
    // Takes effect at the next open; an open port is not touched.
    void setPortName(const QString &portName);

    // Closes the port if open, then opens it under the stored name for reading and writing,
    // for this process alone: false also when another program holds the port.
    bool open();
    void close() noexcept;
    // Writes every byte and hands them to the system at once; false as soon as a write call fails.
    bool write(const QByteArray &data);
    // Appends every byte that can be read now; false if a read call fails or the port has
    // failed to read since it was opened (the device has hung up).
    bool read(QByteArray &data);
    bool isOpen() const { return port.isOpen(); }

    // Names of the ports whose USB identifiers match, in the order the port lister gives them.
    static QStringList availablePorts(quint16 vendorId, quint16 productId);

private:
    bool lineFailed() const;

    QSerialPort port;
    QString name;
    QByteArray chunk;
};
