#include "tests/dimming/ui/request_summary.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>

QString requestSummary(const QByteArray &line)
{
    const QString failure = QStringLiteral("not a request: ") + QString::fromUtf8(line);
    const QJsonDocument document = QJsonDocument::fromJson(line);
    const QJsonObject request = document.object();
    if (request.value("category") != "CAN" || request.value("sort") != "signal" || !request.value("data").isArray())
        return failure;

    QStringList parts {request.value("case").toString()};
    for (const QJsonValue &item : request.value("data").toArray()) {
        QString part = QString::number(item["identifier"]["code"].toInt());
        const QJsonObject value = item["value"].toObject();
        if (value.contains("textual"))
            part += "=" + value["textual"].toString();
        else if (value.contains("physical"))
            part += "=" + QString::number(value["physical"].toDouble());
        else if (value.contains("raw"))
            part += "=raw " + QString::number(value["raw"].toInt());
        parts << part;
    }
    return parts.join(' ');
}
