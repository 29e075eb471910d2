// The working engine against a line the test answers itself: port search, the
// exchange with its fixed wait, the reports and their order, and the error 21 rule.
#include "dimming/engine/port_lister.h"
#include "dimming/engine/working_engine.h"

#include "contract/device_contract.hpp"
#include "tests/support/pseudo_terminal.hpp"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace {

// Shorter than the program's wait, which keeps the test quick; the line answers at once.
const int replyWait = 300;

// JSON text written with single quotes in place of double quotes.
QByteArray j(const char *text)
{
    return QByteArray(text).replace('\'', '"');
}

PortDescription matchingPort(const QString &path)
{
    PortDescription port;
    port.portName = path;
    port.systemLocation = path;
    port.vendorIdentifier = vistrel::contract::vendor_id;
    port.productIdentifier = vistrel::contract::product_id;
    return port;
}

// Every report of the engine as one text, in the order it came.
class Reports : public QObject
{
public:
    explicit Reports(WorkingEngine &engine)
    {
        connect(&engine, &WorkingEngine::informComPorts, this,
            [this](const QStringList &ports) { list << "ports " + ports.join(' '); });
        connect(&engine, &WorkingEngine::informValue, this,
            [this](Signal signal, int raw, double physical, const QString &textual) {
                list << QStringLiteral("value %1 raw %2 physical %3 textual %4")
                            .arg(static_cast<int>(signal))
                            .arg(raw)
                            .arg(physical)
                            .arg(textual);
            });
        connect(&engine, qOverload<WorkingEngine::ErrorCommunication>(&WorkingEngine::informError), this,
            [this](WorkingEngine::ErrorCommunication error) {
                list << QStringLiteral("error %1").arg(static_cast<int>(error));
            });
        connect(&engine, qOverload<Signal, WorkingEngine::ErrorSignal, QString>(&WorkingEngine::informError), this,
            [this](Signal signal, WorkingEngine::ErrorSignal error, const QString &message) {
                list << QStringLiteral("signal error %1 code %2 message %3")
                            .arg(static_cast<int>(signal))
                            .arg(static_cast<int>(error))
                            .arg(message);
            });
        connect(&engine, &WorkingEngine::informTimeout, this, [this] { list << "timeout"; });
    }

    QStringList list;
};

}  // namespace

class EngineLineTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<vistrel::test_support::pseudo_terminal> line;
    std::unique_ptr<WorkingEngine> engine;
    std::unique_ptr<Reports> reports;

    void presentPorts(QStringList paths)
    {
        setPortLister([paths] {
            QList<PortDescription> ports;
            for (const QString &path : paths)
                ports << matchingPort(path);
            return ports;
        });
    }

    QString linePath() const { return QString::fromStdString(line->slave_path()); }
    // What the engine has written to the line so far.
    QByteArray lineOutput()
    {
        return QByteArray::fromStdString(
            line->receive_available(std::chrono::milliseconds(0), std::chrono::milliseconds(50)));
    }

    // The request the engine wrote, up to its line feed.
    QByteArray awaitRequest()
    {
        QByteArray request;
        QElapsedTimer clock;
        clock.start();
        while (!request.endsWith('\n') && clock.elapsed() < 2000) {
            QTest::qWait(5);
            request += lineOutput();
        }
        return request;
    }

    // Waits until the engine has reported `count` times, plus a wait for stray reports.
    void settle(qsizetype count)
    {
        QTRY_VERIFY_WITH_TIMEOUT(reports->list.size() >= count, 3 * replyWait);
        QTest::qWait(replyWait + 100);
    }

private slots:
    void init()
    {
        line = std::make_unique<vistrel::test_support::pseudo_terminal>();
        presentPorts({linePath()});
        engine =
            std::make_unique<WorkingEngine>(vistrel::contract::vendor_id, vistrel::contract::product_id, replyWait);
        reports = std::make_unique<Reports>(*engine);
    }

    void cleanup()
    {
        reports.reset();
        engine.reset();
        line.reset();
        setPortLister({});
    }

    void receiveAllWithOneStateReply()
    {
        QSignalSpy values(engine.get(), &WorkingEngine::informValue);
        engine->receiveAll();
        QVERIFY(!awaitRequest().isEmpty());
        line->send(j(
            "{'category':'CAN','case':'state','sort':'signal','data':["
            "{'identifier':{'code':5,'name':'LS_Helligkeit_FW'},'value':{'raw':100,'physical':{'numerical':600,'unit':'lx'}}},"
            "{'identifier':{'code':2},'value':{'textual':'Init'}}]}\r\n"));
        QVERIFY(values.wait(2 * replyWait));
        settle(3);
        QCOMPARE(reports->list,
            (QStringList {
                "ports " + linePath(),
                "value 2 raw -1 physical nan textual Init",
                "value 5 raw 100 physical 600 textual ",
            }));
        QCOMPARE(values.size(), 2);
        QCOMPARE(values[0][0].value<Signal>(), Signal::DI_KL_58xs);
    }

    void silence_data()
    {
        QTest::addColumn<bool>("send");
        QTest::addColumn<QString>("report");
        QTest::newRow("set ends with the time-out") << true << "timeout";
        QTest::newRow("get fails to receive") << false << "error 5";
    }

    void silence()
    {
        QFETCH(bool, send);
        QFETCH(QString, report);
        QElapsedTimer clock;
        clock.start();
        send ? engine->sendAll() : engine->receiveAll();
        QVERIFY(!awaitRequest().isEmpty());
        settle(2);
        QCOMPARE(reports->list, (QStringList {"ports " + linePath(), report}));
        QVERIFY(clock.elapsed() >= replyWait);
    }

    void portSearchFails_data()
    {
        QTest::addColumn<QStringList>("ports");
        QTest::addColumn<QString>("error");
        QTest::newRow("no device") << QStringList {} << "error 2";
        QTest::newRow("two devices") << QStringList {"/dev/ttyACM0", "/dev/ttyACM1"} << "error 3";
    }

    void portSearchFails()
    {
        QFETCH(QStringList, ports);
        QFETCH(QString, error);
        presentPorts(ports);
        engine->receiveAll();
        // Reported at once; no wait is armed, so nothing follows.
        QCOMPARE(reports->list, (QStringList {("ports " + ports.join(' ')), error}));
        QTest::qWait(replyWait + 200);
        QCOMPARE(reports->list.size(), 2);
        QCOMPARE(lineOutput(), QByteArray());
    }

    void chosenPortThatCannotOpen()
    {
        // A chosen name that fails to open leads to a search, which finds the line.
        engine->setComPort(QStringLiteral("/dev/vistrel-no-such-port"));
        engine->sendAll();
        QVERIFY(!awaitRequest().isEmpty());
        settle(2);
        QCOMPARE(reports->list, (QStringList {"ports " + linePath(), "timeout"}));
    }

    void signalErrors_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("0x0315 is no answer") << j(
            "{'category':'CAN','case':'error','sort':{'number':789,'message':'not available'},'data':[{'identifier':{'code':6}}]}\n")
                                             << QStringList {"signal error 6 code 21 message not available", "error 5"};
        QTest::newRow("0x0101 is not passed on") << j(
            "{'category':'CAN','case':'error','sort':{'number':257,'message':'unknown request'},'data':[{'identifier':{'code':1}}]}\n")
                                                 << QStringList {"error 5"};
        QTest::newRow("other signal error is an answer") << j(
            "{'category':'CAN','case':'error','sort':{'number':770,'message':'out of range'},'data':[{'identifier':{'code':5}}]}\n")
                                                         << QStringList {"signal error 5 code 2 message out of range"};
        QTest::newRow("empty state reply is an answer")
            << j("{'category':'CAN','case':'state','sort':'signal','data':[]}\n") << QStringList {};
    }

    void signalErrors()
    {
        QFETCH(QByteArray, reply);
        QFETCH(QStringList, expected);
        engine->receiveAll();
        QVERIFY(!awaitRequest().isEmpty());
        line->send(reply);
        expected.prepend("ports " + linePath());
        settle(expected.size());
        QCOMPARE(reports->list, expected);
    }

    void replyAfterTheWaitIsLost()
    {
        engine->receiveAll();
        QVERIFY(!awaitRequest().isEmpty());
        QTRY_COMPARE_WITH_TIMEOUT(reports->list.size(), 2, 3 * replyWait);
        line->send(j(
            "{'category':'CAN','case':'state','sort':'signal','data':[{'identifier':{'code':1},'value':{'raw':1}}]}\n"));
        QTest::qWait(replyWait + 200);
        QCOMPARE(reports->list, (QStringList {"ports " + linePath(), "error 5"}));
    }

    // A device that hangs up during the wait has not answered: a set fails like a get
    // instead of ending as the silent acceptance of the set.
    void hangUpDuringTheWait_data()
    {
        QTest::addColumn<bool>("send");
        QTest::newRow("set") << true;
        QTest::newRow("get") << false;
    }

    void hangUpDuringTheWait()
    {
        QFETCH(bool, send);
        send ? engine->sendAll() : engine->receiveAll();
        QVERIFY(!awaitRequest().isEmpty());
        line->hang_up();
        settle(2);
        QCOMPARE(reports->list, (QStringList {"ports " + linePath(), "error 5"}));
    }

    // With no wait at all the port is closed at once; the request still reaches the line.
    void requestLeavesWithAZeroWait()
    {
        engine->setTimeout(0);
        engine->sendAll();
        settle(2);
        QCOMPARE(reports->list, (QStringList {"ports " + linePath(), "timeout"}));
        QVERIFY(awaitRequest().startsWith(j("{'category':'CAN','case':'set'")));
    }

    void storedValuesInTheRequests()
    {
        engine->receiveAll();
        QCOMPARE(awaitRequest(),
            j("{'category':'CAN','case':'get','sort':'signal','data':[{'identifier':{'code':1}},"
              "{'identifier':{'code':2}},{'identifier':{'code':3}},{'identifier':{'code':4}},"
              "{'identifier':{'code':5}}]}\n"));
        settle(2);

        // The port found by the search is kept, so no further search is reported.
        engine->storeValue(Signal::RLS_Vorfeldhelligkeit_Boost, 15);
        engine->receiveAll();
        QCOMPARE(awaitRequest(),
            j("{'category':'CAN','case':'get','sort':'signal','data':[{'identifier':{'code':1}},"
              "{'identifier':{'code':2}},{'identifier':{'code':3}},{'identifier':{'code':4}},"
              "{'identifier':{'code':5}},{'identifier':{'code':6}}]}\n"));
        settle(3);

        // Signals that hold no value yet are left out of a set request.
        engine->storeValue(Signal::DI_KL_58xs, QStringLiteral("Fehler"));
        engine->sendAll();
        QCOMPARE(awaitRequest(),
            j("{'category':'CAN','case':'set','sort':'signal','data':["
              "{'identifier':{'code':2},'value':{'textual':'Fehler'}},"
              "{'identifier':{'code':6},'value':{'physical':1.5E1}}]}\n"));
        settle(4);
        QCOMPARE(reports->list, (QStringList {"ports " + linePath(), "error 5", "error 5", "timeout"}));
    }

    void requestThatCannotBeBuilt()
    {
        engine->storeValue(Signal::DI_KL_58xd, qInf());
        engine->sendAll();
        // Reported at once; nothing is written and no wait is armed.
        QCOMPARE(reports->list, (QStringList {"ports " + linePath(), "error 4"}));
        QTest::qWait(replyWait + 200);
        QCOMPARE(reports->list.size(), 2);
        QCOMPARE(lineOutput(), QByteArray());
    }

    void engineDestroyedDuringTheWait()
    {
        engine->sendAll();
        QVERIFY(!awaitRequest().isEmpty());
        reports.reset();
        engine.reset();
        // The pending read must not run on the destroyed engine.
        QTest::qWait(replyWait + 200);
    }
};

QTEST_GUILESS_MAIN(EngineLineTest)
#include "engine_line_test.moc"
