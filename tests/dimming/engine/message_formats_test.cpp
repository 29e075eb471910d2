// The signal get/set requests and the collection of state and error replies.
#include "dimming/engine/reply_parser.h"
#include "dimming/engine/request_builder.h"

#include <QTest>

namespace {

// JSON text written with single quotes in place of double quotes.
QByteArray j(const char *text)
{
    return QByteArray(text).replace('\'', '"');
}

SignalValues valuesOf(std::initializer_list<std::pair<int, SignalValue>> entries)
{
    SignalValues values;
    for (const auto &[number, value] : entries)
        values.emplace(static_cast<Signal>(number), value);
    return values;
}

SignalValue rawValue(qint32 raw)
{
    SignalValue value;
    value.raw = raw;
    return value;
}

SignalValue allThree()
{
    SignalValue value(QStringLiteral("Init"));
    value.raw = 3;
    value.physical = 2.5;
    return value;
}

// One line per reply: "value 1 raw -1 physical 253 textual Init" per signal of a
// state reply, "error 5 number 789 message out of range" for an error reply; then the
// counts of refusals and unreadable lines, when there are any.
QStringList describe(const ParsedReplies &replies)
{
    QStringList lines;
    for (const SignalValues &reply : replies.values) {
        QStringList items;
        for (const auto &[signal, value] : reply)
            items << QStringLiteral("value %1 raw %2 physical %3 textual %4")
                         .arg(static_cast<int>(signal))
                         .arg(value.raw)
                         .arg(value.physical)
                         .arg(QString::fromUtf8(value.textual));
        lines << (items.isEmpty() ? QStringLiteral("no values") : items.join(QStringLiteral("; ")));
    }
    for (const SignalErrors &reply : replies.errors) {
        for (const auto &[signal, error] : reply)
            lines << QStringLiteral("error %1 number %2 message %3")
                         .arg(static_cast<int>(signal))
                         .arg(error.number)
                         .arg(QString::fromUtf8(error.message));
    }
    if (replies.refusals > 0)
        lines << QStringLiteral("refusals %1").arg(replies.refusals);
    if (replies.unreadable > 0)
        lines << QStringLiteral("unreadable %1").arg(replies.unreadable);
    return lines;
}

const QByteArray stateHead = j("{'category':'CAN','case':'state','sort':'signal','data':");

}  // namespace

class MessageFormatsTest : public QObject
{
    Q_OBJECT

private slots:
    void request_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<SignalValues>("values");
        QTest::addColumn<QByteArray>("expected");

        QTest::newRow("get names every signal held")
            << int(RequestMode::Get) << valuesOf({{1, SignalValue()}, {2, SignalValue(7)}})
            << QByteArray(j(
                   "{'category':'CAN','case':'get','sort':'signal','data':[{'identifier':{'code':1}},{'identifier':{'code':2}}]}\n"));
        QTest::newRow("set physical and textual")
            << int(RequestMode::Set) << valuesOf({{1, SignalValue(253)}, {2, SignalValue(QStringLiteral("Init"))}})
            << QByteArray(j(
                   "{'category':'CAN','case':'set','sort':'signal','data':[{'identifier':{'code':1},'value':{'physical':2.53E2}},{'identifier':{'code':2},'value':{'textual':'Init'}}]}\n"));
        QTest::newRow("set whole number as real")
            << int(RequestMode::Set) << valuesOf({{6, SignalValue(15)}})
            << QByteArray(j(
                   "{'category':'CAN','case':'set','sort':'signal','data':[{'identifier':{'code':6},'value':{'physical':1.5E1}}]}\n"));
        QTest::newRow("set raw only")
            << int(RequestMode::Set) << valuesOf({{3, rawValue(1)}})
            << QByteArray(j(
                   "{'category':'CAN','case':'set','sort':'signal','data':[{'identifier':{'code':3},'value':{'raw':1}}]}\n"));
        QTest::newRow("set textual wins over physical and raw")
            << int(RequestMode::Set) << valuesOf({{4, allThree()}})
            << QByteArray(j(
                   "{'category':'CAN','case':'set','sort':'signal','data':[{'identifier':{'code':4},'value':{'textual':'Init'}}]}\n"));
        QTest::newRow("set textual is escaped")
            << int(RequestMode::Set) << valuesOf({{5, SignalValue(QStringLiteral("a\"b\\"))}})
            << QByteArray(j(
                   "{'category':'CAN','case':'set','sort':'signal','data':[{'identifier':{'code':5},'value':{'textual':'a\\\"b\\\\'}}]}\n"));
        QTest::newRow("set leaves out signals without value")
            << int(RequestMode::Set)
            << valuesOf({{1, SignalValue()}, {2, SignalValue(0)}, {3, SignalValue()}, {4, SignalValue()}})
            << QByteArray(j(
                   "{'category':'CAN','case':'set','sort':'signal','data':[{'identifier':{'code':2},'value':{'physical':0.0}}]}\n"));
        QTest::newRow("set with nothing to send")
            << int(RequestMode::Set) << valuesOf({{1, SignalValue()}})
            << QByteArray(j("{'category':'CAN','case':'set','sort':'signal','data':[]}\n"));
    }

    void request()
    {
        QFETCH(int, mode);
        QFETCH(SignalValues, values);
        QFETCH(QByteArray, expected);
        QCOMPARE(buildRequest(static_cast<RequestMode>(mode), values), expected);
    }

    void replies_data()
    {
        QTest::addColumn<QByteArray>("received");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<QStringList>("debugLines");

        QTest::newRow("two state replies on two lines")
            << stateHead + j("[{'identifier':{'code':2,'name':'DI_KL_58xs'},'value':{'physical':99.5}}]}\n") + stateHead
                + j("[{'identifier':{'code':1},'value':{'textual':'Init'}}]}\n")
            << QStringList {"value 2 raw -1 physical 99.5 textual ", "value 1 raw -1 physical nan textual Init"}
            << QStringList {};
        QTest::newRow("physical as numerical and unit")
            << stateHead + j("[{'identifier':{'code':5},'value':{'physical':{'numerical':1.5,'unit':'lx'}}}]}\n")
            << QStringList {"value 5 raw -1 physical 1.5 textual "} << QStringList {};
        QTest::newRow("all three representations, CR LF")
            << stateHead + j("[{'identifier':{'code':3},'value':{'raw':0,'physical':1,'textual':'a\\\"b'}}]}\r\n")
            << QStringList {"value 3 raw 0 physical 1 textual a\\\"b"} << QStringList {};
        QTest::newRow("later item replaces earlier")
            << stateHead
                + j("[{'identifier':{'code':1},'value':{'raw':1}},{'identifier':{'code':1},'value':{'raw':2}}]}\n")
            << QStringList {"value 1 raw 2 physical nan textual "} << QStringList {};
        QTest::newRow("items ordered by signal")
            << stateHead
                + j("[{'identifier':{'code':6},'value':{'textual':'bis_9412_Lux'}},{'identifier':{'code':4},'value':{'raw':9}}]}\n")
            << QStringList {"value 4 raw 9 physical nan textual ; value 6 raw -1 physical nan textual bis_9412_Lux"}
            << QStringList {};
        QTest::newRow("code 0 drops the reply")
            << stateHead
                + j("[{'identifier':{'code':1},'value':{'raw':1}},{'identifier':{'code':0},'value':{'raw':2}}]}\n")
            << QStringList {"unreadable 1"} << QStringList {"parsing data failed: 16"};
        QTest::newRow("missing code drops the reply")
            << stateHead + j("[{'identifier':{'name':'x'},'value':{'raw':2}}]}\n") << QStringList {"unreadable 1"}
            << QStringList {"parsing data failed: 16"};
        QTest::newRow("code beyond 32 bits drops the reply")
            << stateHead + j("[{'identifier':{'code':4294967297},'value':{'raw':2}}]}\n")
            << QStringList {"unreadable 1"} << QStringList {"parsing data failed: 17"};
        QTest::newRow("raw beyond 32 bits drops the reply")
            << stateHead + j("[{'identifier':{'code':1},'value':{'raw':4294967295}}]}\n")
            << QStringList {"unreadable 1"} << QStringList {"parsing data failed: 17"};
        QTest::newRow("item without value is skipped")
            << stateHead + j("[{'identifier':{'code':1}},{'identifier':{'code':2},'value':{'raw':3}}]}\n")
            << QStringList {"value 2 raw 3 physical nan textual "} << QStringList {};
        QTest::newRow("empty data array is an answer") << stateHead + "[]}\n"
                                                       << QStringList {"no values"} << QStringList {};
        QTest::newRow("unknown value member drops the reply")
            << stateHead + j("[{'identifier':{'code':2},'value':{'percent':3}}]}\n") << QStringList {"unreadable 1"}
            << QStringList {"parsing data failed: 17"};
        QTest::newRow("extra top-level member, next line still read")
            << QByteArray(j(
                   "{'category':'CAN','case':'state','sort':'signal','id':1,'data':[{'identifier':{'code':1},'value':{'raw':1}}]}\n"))
                + stateHead + j("[{'identifier':{'code':2},'value':{'raw':5}}]}\n")
            << QStringList {"value 2 raw 5 physical nan textual ", "unreadable 1"}
            << QStringList {"parsing whole failed: 17"};
        QTest::newRow("error reply 789") << QByteArray(j(
            "{'category':'CAN','case':'error','sort':{'number':789,'message':'out of range'},'data':[{'identifier':{'code':5}}]}\n"))
                                         << QStringList {"error 5 number 789 message out of range"} << QStringList {};
        QTest::newRow("error reply names the first nonzero code") << QByteArray(j(
            "{'category':'CAN','case':'error','sort':{'number':257,'message':'m'},'data':[{'identifier':{'code':0}},{'identifier':{'code':6}},{'identifier':{'code':2}}]}\n"))
                                                                  << QStringList {"error 6 number 257 message m"}
                                                                  << QStringList {};
        QTest::newRow("error reply with a number or code beyond 32 bits is a refusal")
            << (j("{'category':'CAN','case':'error','sort':{'number':4294968085,'message':'m'},'data':[{'identifier':{'code':5}}]}\n")
                   + j("{'category':'CAN','case':'error','sort':{'number':789,'message':'m'},'data':[{'identifier':{'code':-4294967291}}]}\n"))
            << QStringList {"refusals 2"} << QStringList {};
        QTest::newRow("error reply without code is a refusal")
            << QByteArray(j("{'category':'CAN','case':'error','sort':{'number':789,'message':'m'},'data':[]}\n"))
            << QStringList {"refusals 1"} << QStringList {};
        QTest::newRow("JSON errors are refusals, other JSON replies are ignored")
            << (j("{'category':'JSON','case':'error','sort':{'number':1,'message':'syntax error'},'data':{'position':17}}\n")
                   + j("{'category':'JSON','case':'error','sort':'unexpected end'}\n")
                   + j("{'category':'JSON','case':'state','sort':'signal','data':[{'identifier':{'code':1},'value':{'raw':1}}]}\n"))
            << QStringList {"refusals 2"} << QStringList {};
        QTest::newRow("CAN error without sort object is a refusal")
            << QByteArray(j("{'category':'CAN','case':'error','sort':'signal','data':[{'identifier':{'code':1}}]}\n"))
            << QStringList {"refusals 1"} << QStringList {};
        QTest::newRow("other category and sort are ignored")
            << (j("{'category':'system','case':'state','sort':'signal','data':[{'identifier':{'code':1},'value':{'raw':1}}]}\n")
                   + j("{'category':'CAN','case':'state','sort':'profile','data':[{'identifier':{'code':1},'value':{'raw':1}}]}\n")
                   + j("{'category':'CAN','case':'update','sort':'signal','data':[{'identifier':{'code':1},'value':{'raw':1}}]}\n"))
            << QStringList {} << QStringList {};
        QTest::newRow("empty lines between replies")
            << QByteArray("\n\r\n") + stateHead + j("[{'identifier':{'code':1},'value':{'raw':1}}]}\n\n")
            << QStringList {"value 1 raw 1 physical nan textual "} << QStringList {};
        QTest::newRow("garbage line, then a reply")
            << QByteArray("#!garbage\n") + stateHead + j("[{'identifier':{'code':1},'value':{'raw':1}}]}\n")
            << QStringList {"value 1 raw 1 physical nan textual ", "unreadable 1"}
            << QStringList {"parsing whole failed: -10"};
        QTest::newRow("garbage without LF")
            << QByteArray("#!garbage ") + stateHead + j("[{'identifier':{'code':1},'value':{'raw':1}}]}")
            << QStringList {"unreadable 1"} << QStringList {"parsing whole failed: -10"};
        QTest::newRow("reply cut off at the end") << stateHead + j("[{'identifier':{'code':1},'value':{'raw':1}}]}\n")
                + stateHead + j("[{'identifier':{'code':1},")
                                                  << QStringList {"value 1 raw 1 physical nan textual ", "unreadable 1"}
                                                  << QStringList {"parsing whole failed: -1"};
        QTest::newRow("nothing received") << QByteArray() << QStringList {} << QStringList {};
    }

    void replies()
    {
        QFETCH(QByteArray, received);
        QFETCH(QStringList, expected);
        QFETCH(QStringList, debugLines);
        for (const QString &line : debugLines)
            QTest::ignoreMessage(QtDebugMsg, qPrintable(line));
        QCOMPARE(describe(parseReplies(received)), expected);
    }
};

QTEST_GUILESS_MAIN(MessageFormatsTest)
#include "message_formats_test.moc"
