// The working engine against the device simulator on a pseudo-terminal.
#include "dimming/engine/port_lister.h"
#include "dimming/engine/working_engine.h"

#include "contract/device_contract.hpp"
#include "tests/support/process_runner.hpp"
#include "tests/support/sim_fixture.hpp"

#include <QSignalSpy>
#include <QTest>

#include <exception>
#include <fstream>
#include <future>
#include <memory>
#include <string>
#include <vector>

namespace {

const int replyWait = static_cast<int>(vistrel::contract::dimming_reply_wait.count());

// JSON text written with single quotes in place of double quotes.
QString j(const char *text)
{
    return QString::fromUtf8(text).replace('\'', '"');
}

// Runs vistrel-sim with the given fault rules for one test and presents its port as
// the only matching device.
class Simulator
{
public:
    explicit Simulator(const QStringList &faults)
    {
        std::vector<std::string> arguments {"--exit-after", "60"};
        for (const QString &fault : faults) {
            arguments.push_back("--fault");
            arguments.push_back(fault.toStdString());
        }
        try {
            process = std::make_unique<vistrel::test_support::sim_process>(std::move(arguments));
        } catch (const std::exception &error) {
            qWarning("%s", error.what());
            return;
        }
        const QString path = QString::fromStdString(process->port());
        setPortLister([path] {
            PortDescription port;
            port.portName = path;
            port.systemLocation = path;
            port.vendorIdentifier = vistrel::contract::vendor_id;
            port.productIdentifier = vistrel::contract::product_id;
            return QList<PortDescription> {port};
        });
    }

    ~Simulator() { setPortLister({}); }

    bool isRunning() const { return process != nullptr; }
    const vistrel::test_support::sim_process &simulator() const { return *process; }

private:
    std::unique_ptr<vistrel::test_support::sim_process> process;
};

struct Spies
{
    explicit Spies(WorkingEngine &engine)
        : values(&engine, &WorkingEngine::informValue)
        , communication(&engine, qOverload<WorkingEngine::ErrorCommunication>(&WorkingEngine::informError))
        , signalErrors(&engine, qOverload<Signal, WorkingEngine::ErrorSignal, QString>(&WorkingEngine::informError))
        , timeouts(&engine, &WorkingEngine::informTimeout)
    {
    }

    // Waits for the end of one exchange: a value, a communication error or the time-out.
    bool awaitEnd()
    {
        const bool ended = QTest::qWaitFor(
            [this] { return !values.isEmpty() || !communication.isEmpty() || !timeouts.isEmpty(); }, 4 * replyWait);
        // Reports of one exchange come together; give stray ones a chance to show.
        QTest::qWait(50);
        return ended;
    }

    void clear()
    {
        values.clear();
        communication.clear();
        signalErrors.clear();
        timeouts.clear();
    }

    QSignalSpy values;
    QSignalSpy communication;
    QSignalSpy signalErrors;
    QSignalSpy timeouts;
};

vistrel::test_support::process_result runVistrel(const std::vector<std::string> &arguments)
{
    vistrel::test_support::process_options options;
    options.unset_environment = {"VISTREL_TRACE", "VISTREL_VERIFY"};
    return vistrel::test_support::run_process(VISTREL_PROGRAM, arguments, options);
}

const std::string vistrelInUseLine =
    "boost::system::system_error - port:1/open: Port is in use by another program [port:1]\n";

}  // namespace

class EngineSimTest : public QObject
{
    Q_OBJECT

private slots:
    void receiveAllGetsEverySignalInOrder()
    {
        Simulator sim({});
        QVERIFY(sim.isRunning());
        WorkingEngine engine(vistrel::contract::vendor_id, vistrel::contract::product_id, replyWait);
        Spies spies(engine);
        engine.storeValue(Signal::RLS_Vorfeldhelligkeit_Boost, 15);
        engine.receiveAll();
        QVERIFY(spies.awaitEnd());
        QCOMPARE(spies.values.size(), 6);
        for (int i = 0; i < 6; ++i)
            QCOMPARE(spies.values[i][0].value<Signal>(), static_cast<Signal>(i + 1));
        // The boost band comes back by name only.
        QVERIFY(!spies.values[5][3].toString().isEmpty());
        QVERIFY(spies.communication.isEmpty());
        QVERIFY(spies.signalErrors.isEmpty());
    }

    void setValuesAreReadBack()
    {
        Simulator sim({});
        QVERIFY(sim.isRunning());
        WorkingEngine engine(vistrel::contract::vendor_id, vistrel::contract::product_id, replyWait);
        Spies spies(engine);
        engine.storeValue(Signal::DI_KL_58xd, 253);
        engine.storeValue(Signal::DI_KL_58xs, QStringLiteral("Fehler"));
        engine.storeValue(Signal::DI_Display_Nachtdesign, 1);
        engine.sendAll();
        QVERIFY(spies.awaitEnd());
        QCOMPARE(spies.timeouts.size(), 1);
        QVERIFY(spies.communication.isEmpty());

        spies.clear();
        engine.receiveAll();
        QVERIFY(spies.awaitEnd());
        QCOMPARE(spies.values.size(), 5);
        QCOMPARE(spies.values[0][2].toDouble(), 253.0);
        QCOMPARE(spies.values[1][3].toString(), QStringLiteral("Fehler"));
        QCOMPARE(spies.values[2][1].toInt(), 1);
    }

    void exchangesWithoutAnswer_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<bool>("send");
        QTest::addColumn<int>("expectedError");
        QTest::newRow("set, silence") << j("{'reply':'silent'}") << true << 0;
        QTest::newRow("get, silence") << j("{'reply':'silent'}") << false << int(WorkingEngine::ReceiveFailed);
        QTest::newRow("get, reply after the wait")
            << j("{'delay_ms':900}") << false << int(WorkingEngine::ReceiveFailed);
        QTest::newRow("get, error 0x0101") << j("{'reply':'error','number':257,'message':'unknown request','signal':1}")
                                           << false << int(WorkingEngine::ReceiveFailed);
        QTest::newRow("get, reply broken across lines")
            << j("{'reply':'broken-line'}") << false << int(WorkingEngine::ReceiveFailed);
    }

    void exchangesWithoutAnswer()
    {
        QFETCH(QString, fault);
        QFETCH(bool, send);
        QFETCH(int, expectedError);
        Simulator sim({fault});
        QVERIFY(sim.isRunning());
        WorkingEngine engine(vistrel::contract::vendor_id, vistrel::contract::product_id, replyWait);
        Spies spies(engine);
        send ? engine.sendAll() : engine.receiveAll();
        QVERIFY(spies.awaitEnd());
        QVERIFY(spies.values.isEmpty());
        QVERIFY(spies.signalErrors.isEmpty());
        if (expectedError == 0) {
            QCOMPARE(spies.timeouts.size(), 1);
            QVERIFY(spies.communication.isEmpty());
        } else {
            QVERIFY(spies.timeouts.isEmpty());
            QCOMPARE(spies.communication.size(), 1);
            QCOMPARE(spies.communication[0][0].value<WorkingEngine::ErrorCommunication>(),
                static_cast<WorkingEngine::ErrorCommunication>(expectedError));
        }
        // A late reply is never read, also not after the exchange.
        QTest::qWait(replyWait + 400);
        QVERIFY(spies.values.isEmpty());
    }

    void unavailableSignalIsNoAnswer()
    {
        Simulator sim({j("{'reply':'error','number':789,'message':'signal not available','signal':6}")});
        QVERIFY(sim.isRunning());
        WorkingEngine engine(vistrel::contract::vendor_id, vistrel::contract::product_id, replyWait);
        Spies spies(engine);
        QList<int> order;
        connect(&engine, qOverload<Signal, WorkingEngine::ErrorSignal, QString>(&WorkingEngine::informError), this,
            [&order] { order << 1; });
        connect(&engine, qOverload<WorkingEngine::ErrorCommunication>(&WorkingEngine::informError), this,
            [&order] { order << 2; });
        engine.storeValue(Signal::RLS_Vorfeldhelligkeit_Boost, 15);
        engine.receiveAll();
        QVERIFY(spies.awaitEnd());
        QCOMPARE(order, (QList<int> {1, 2}));
        QCOMPARE(spies.signalErrors[0][0].value<Signal>(), Signal::RLS_Vorfeldhelligkeit_Boost);
        QCOMPARE(spies.signalErrors[0][1].value<WorkingEngine::ErrorSignal>(), WorkingEngine::SignalUnavailable);
        QCOMPARE(spies.signalErrors[0][2].toString(), QStringLiteral("signal not available"));
        QCOMPARE(spies.communication[0][0].value<WorkingEngine::ErrorCommunication>(), WorkingEngine::ReceiveFailed);
    }

    void unavailableSignalBesideValues()
    {
        Simulator sim({j("{'unavailable':[6]}")});
        QVERIFY(sim.isRunning());
        WorkingEngine engine(vistrel::contract::vendor_id, vistrel::contract::product_id, replyWait);
        Spies spies(engine);
        engine.storeValue(Signal::RLS_Vorfeldhelligkeit_Boost, 15);
        engine.receiveAll();
        QVERIFY(spies.awaitEnd());
        QCOMPARE(spies.values.size(), 5);
        QCOMPARE(spies.signalErrors.size(), 1);
        QCOMPARE(spies.signalErrors[0][1].value<WorkingEngine::ErrorSignal>(), WorkingEngine::SignalUnavailable);
        QVERIFY(spies.communication.isEmpty());
    }

    // One port, one user, both ways round with the console program.
    void engineIsRefusedWhileVistrelHoldsThePort()
    {
        Simulator sim({});
        QVERIFY(sim.isRunning());
        const std::string file = sim.simulator().folder() + "/held.bin";
        std::ofstream(file, std::ios::binary) << std::string(256, 'e');
        auto holder = std::async(std::launch::async, [port = sim.simulator().port(), file] {
            return runVistrel({"-c", port, "profile", "upload", "-t", "2", "3", file});
        });
        QVERIFY(sim.simulator().wait_for_requests(1, std::chrono::seconds(5)));

        WorkingEngine engine(vistrel::contract::vendor_id, vistrel::contract::product_id, replyWait);
        Spies spies(engine);
        engine.receiveAll();
        QVERIFY(spies.awaitEnd());
        QCOMPARE(spies.communication.size(), 1);
        QCOMPARE(spies.communication[0][0].value<WorkingEngine::ErrorCommunication>(), WorkingEngine::CannotConnect);
        QVERIFY(spies.values.isEmpty());
        QVERIFY(spies.timeouts.isEmpty());

        const auto held = holder.get();
        QCOMPARE(held.standard_error, std::string());
        QCOMPARE(held.exit_status, 0);
        // Only the holder's request reached the device.
        QCOMPARE(sim.simulator().requests().size(), std::size_t(1));

        // Once the holder has closed the port, the engine gets it.
        spies.clear();
        engine.receiveAll();
        QVERIFY(spies.awaitEnd());
        QCOMPARE(spies.values.size(), 5);
        QVERIFY(spies.communication.isEmpty());
    }

    void vistrelIsRefusedWhileTheEngineHoldsThePort()
    {
        Simulator sim({});
        QVERIFY(sim.isRunning());
        WorkingEngine engine(vistrel::contract::vendor_id, vistrel::contract::product_id, replyWait);
        Spies spies(engine);
        engine.receiveAll();
        // The engine holds the port from the write until its reply wait has run out.
        QVERIFY(QTest::qWaitFor([&sim] { return sim.simulator().requests().size() == 1; }, 5000));
        const auto refused = runVistrel({"-c", sim.simulator().port(), "system", "information"});
        QCOMPARE(refused.standard_output, std::string());
        QCOMPARE(refused.standard_error, vistrelInUseLine);
        QCOMPARE(refused.exit_status, 1);

        QVERIFY(spies.awaitEnd());
        QCOMPARE(spies.values.size(), 5);
        QVERIFY(spies.communication.isEmpty());
        QCOMPARE(sim.simulator().requests().size(), std::size_t(1));
    }
};

QTEST_GUILESS_MAIN(EngineSimTest)
#include "engine_sim_test.moc"
