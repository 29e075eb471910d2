// The main dialog against the device simulator: the requests that Set and the presets send
// (read from the simulator's log), the busy period of a set that only ends by time-out,
// values read back with Get, and device errors made by the simulator's fault rules.
#include "dimming/ui/vistrel_dimming_dlg.h"
#include "tests/dimming/ui/fake_ports.h"
#include "tests/dimming/ui/modal_box_watcher.h"
#include "tests/dimming/ui/numbers_start.h"
#include "tests/dimming/ui/request_summary.h"
#include "tests/dimming/ui/widget_lookup.h"
#include "tests/support/sim_fixture.hpp"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTest>

#include <chrono>
#include <memory>
#include <stdexcept>

using vistrel::test_support::sim_process;
using vistrel::test_support::sim_settings;

namespace {

const char *const actionButtons[] = {"pushButtonSetDayMax", "pushButtonSetNightMax", "pushButtonSetError",
    "pushButtonSetInit", "pushButtonSet", "pushButtonGet"};

// Choice, slider and check box states of the six signals, in signal order.
QString widgetStates(const QWidget *dialog)
{
    QStringList states;
    for (const char *group : {"DI_KL_58xd", "DI_KL_58xs"}) {
        states << child<QComboBox>(dialog, qPrintable(QString("comboBox") + group))->currentText() + ":"
                + QString::number(child<QSlider>(dialog, qPrintable(QString("horizontalSlider") + group))->value());
    }
    states << (child<QCheckBox>(dialog, "checkBoxDI_Display_Nachtdesign")->isChecked() ? "checked" : "unchecked");
    for (const char *group : {"DI_KL_58xt", "LS_Helligkeit_FW"}) {
        states << child<QComboBox>(dialog, qPrintable(QString("comboBox") + group))->currentText() + ":"
                + QString::number(child<QSlider>(dialog, qPrintable(QString("horizontalSlider") + group))->value());
    }
    states << child<QComboBox>(dialog, "comboBoxRLS_Vorfeldhelligkeit_Boost")->currentText();
    return states.join(' ');
}

}  // namespace

class DialogSimulatorTest : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();
    void presetsAndSet_data();
    void presetsAndSet();
    void getShowsTheDevicesValues();
    void unavailableBrightnessDisablesItsGroup();
    void signalErrorShowsTheDevicesMessage();

private:
    // Starts the simulator and a dialog that has the simulator's port typed into its port box.
    bool start(sim_settings settings = {});
    QString requestLine(std::size_t index) const;
    bool buttonsEnabled(bool enabled) const;
    QString status() const { return child<QLabel>(dialog.get(), "labelStatusBar")->text(); }
    void click(const char *name) { QTest::mouseClick(child<QPushButton>(dialog.get(), name), Qt::LeftButton); }

    std::unique_ptr<sim_process> sim;
    std::unique_ptr<FakePorts> ports;
    std::unique_ptr<VistrelDimmingDlg> dialog;
};

bool DialogSimulatorTest::start(sim_settings settings)
{
    try {
        sim = std::make_unique<sim_process>(std::move(settings));
    } catch (const std::runtime_error &error) {
        qWarning("%s", error.what());
        return false;
    }
    ports = std::make_unique<FakePorts>();
    dialog = std::make_unique<VistrelDimmingDlg>();
    dialog->show();
    if (!QTest::qWaitForWindowActive(dialog.get()))
        return false;
    auto *portBox = child<QComboBox>(dialog.get(), "comboBoxSerialPort");
    portBox->setFocus();
    QTest::keyClicks(portBox, QString::fromStdString(sim->port()));
    return portBox->currentText() == QString::fromStdString(sim->port());
}

void DialogSimulatorTest::cleanup()
{
    dialog.reset();
    ports.reset();
    sim.reset();
}

QString DialogSimulatorTest::requestLine(std::size_t index) const
{
    // The port writes from its buffer when the event loop runs, so the loop keeps running here.
    QElapsedTimer waited;
    waited.start();
    while (sim->requests().size() <= index) {
        if (waited.elapsed() > 3000)
            return "no request";
        QTest::qWait(10);
    }
    const std::string line = sim->requests().at(index);
    return requestSummary(QByteArray::fromStdString(line).trimmed());
}

bool DialogSimulatorTest::buttonsEnabled(bool enabled) const
{
    for (const char *name : actionButtons)
        if (child<QPushButton>(dialog.get(), name)->isEnabled() != enabled)
            return false;
    return true;
}

void DialogSimulatorTest::presetsAndSet_data()
{
    QTest::addColumn<QString>("before");  // how the widgets are set up before the click
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("request");
    QTest::addColumn<QString>("readBack");

    QTest::newRow("Day Max over numbers") << "numbers"
                                          << "pushButtonSetDayMax"
                                          << "set 1=253 2=0 3=0 4=0 5=6126 6=0"
                                          << "Number:253 Number:0 unchecked Number:0 Number:6126 groesser_24413_Lux";
    QTest::newRow("Error keeps night design and band") << "numbers"
                                                       << "pushButtonSetError"
                                                       << "set 1=Fehler 2=Fehler 3=1 4=Fehler 5=Fehler 6=3"
                                                       << "Fehler:5 Fehler:0 checked Fehler:7 Fehler:12 bis_20176_Lux";
    QTest::newRow("Init over numbers") << "numbers"
                                       << "pushButtonSetInit"
                                       << "set 1=Init 2=Init 3=0 4=Init 5=Init 6=15"
                                       << "Init:5 Init:0 unchecked Init:7 Init:12 bis_6428_Lux";
    QTest::newRow("Night Max from start") << "start"
                                          << "pushButtonSetNightMax"
                                          << "set 1=100 2=100 3=1 4=100 5=0 6=15"
                                          << "Number:100 Number:100 checked Number:100 Number:0 bis_6428_Lux";
    QTest::newRow("Set edited values") << "numbers"
                                       << "pushButtonSet"
                                       << "set 1=5 2=0 3=1 4=7 5=12 6=3"
                                       << "Number:5 Number:0 checked Number:7 Number:12 bis_20176_Lux";
}

void DialogSimulatorTest::presetsAndSet()
{
    QFETCH(QString, before);
    QFETCH(QString, button);
    QFETCH(QString, request);
    QFETCH(QString, readBack);
    QVERIFY(start());

    if (before == "numbers")
        setEveryChoiceToNumbers(dialog.get());
    QCOMPARE(sim->requests().size(), std::size_t(0));

    // Started before the click, so that it never shows less time than the busy timer has run.
    QElapsedTimer sinceClick;
    sinceClick.start();
    click(qPrintable(button));
    QVERIFY(buttonsEnabled(false));
    QCOMPARE(status(), QString("Setting values in progress."));
    QCOMPARE(requestLine(0), request);

    // The simulator accepts a set in silence: the engine's wait ends, the send counts as done
    // and the buttons come back one second after the click, the focus on the clicked one.
    QTRY_COMPARE_WITH_TIMEOUT(status(), QString("Values have been successfully set."), 3000);
    QTRY_VERIFY_WITH_TIMEOUT(buttonsEnabled(true), 3000);
    QVERIFY(sinceClick.elapsed() >= 990);
    QCOMPARE(dialog->focusWidget(), child<QPushButton>(dialog.get(), qPrintable(button)));
    QCOMPARE(sim->requests().size(), std::size_t(1));

    // What the device now holds comes back into the same widgets.
    ModalBoxWatcher boxes;
    click("pushButtonGet");
    QCOMPARE(requestLine(1), QString("get 1 2 3 4 5 6"));
    QTRY_COMPARE_WITH_TIMEOUT(status(), QString("Values have been successfully got."), 3000);
    QCOMPARE(widgetStates(dialog.get()), readBack);
    QVERIFY(boxes.boxes().isEmpty());
}

void DialogSimulatorTest::getShowsTheDevicesValues()
{
    QVERIFY(start());
    ModalBoxWatcher boxes;

    QElapsedTimer sinceClick;
    sinceClick.start();
    click("pushButtonGet");
    QCOMPARE(status(), QString("Getting values in progress."));
    QTRY_COMPARE_WITH_TIMEOUT(status(), QString("Values have been successfully got."), 3000);

    // The simulator starts with 200, 80 %, off, 50 %, "Init" and the darkest band.
    QCOMPARE(widgetStates(dialog.get()), QString("Number:200 Number:80 unchecked Number:50 Init:0 bis_6428_Lux"));
    QVERIFY(boxes.boxes().isEmpty());
    // An answer ends the busy period at once.
    if (sinceClick.elapsed() < 900)
        QVERIFY(buttonsEnabled(true));
    QCOMPARE(dialog->focusWidget(), child<QPushButton>(dialog.get(), "pushButtonGet"));

    // What was read is what a following Set sends.
    QTRY_VERIFY_WITH_TIMEOUT(buttonsEnabled(true), 3000);
    click("pushButtonSet");
    QCOMPARE(requestLine(1), QString("set 1=200 2=80 3=0 4=50 5=Init 6=15"));
}

void DialogSimulatorTest::unavailableBrightnessDisablesItsGroup()
{
    sim_settings settings;
    settings.scenario = R"([{"category":"CAN","case":"get","times":1,"unavailable":[5,6]}])";
    QVERIFY(start(settings));
    ModalBoxWatcher boxes;
    auto *group = child<QGroupBox>(dialog.get(), "groupBoxRLS_02");

    click("pushButtonGet");
    QTRY_COMPARE_WITH_TIMEOUT(status(), QString("Values have been successfully got."), 3000);
    QTRY_VERIFY_WITH_TIMEOUT(!group->isEnabled(), 3000);
    QVERIFY(boxes.boxes().isEmpty());
    QCOMPARE(widgetStates(dialog.get()), QString("Number:200 Number:80 unchecked Number:50 Init:0 bis_6428_Lux"));

    // The next Get brings values for both signals again.
    QTRY_VERIFY_WITH_TIMEOUT(buttonsEnabled(true), 3000);
    click("pushButtonGet");
    QTRY_VERIFY_WITH_TIMEOUT(group->isEnabled(), 3000);
    QVERIFY(boxes.boxes().isEmpty());
}

void DialogSimulatorTest::signalErrorShowsTheDevicesMessage()
{
    sim_settings settings;
    settings.scenario =
        R"([{"category":"CAN","case":"get","reply":"error","number":789,"message":"not served now","signal":1}])";
    QVERIFY(start(settings));
    ModalBoxWatcher boxes;
    boxes.setSnapshot([this] { return status(); });

    click("pushButtonGet");
    // Error 21 is no answer, so the failed get follows it.
    QTRY_COMPARE_WITH_TIMEOUT(boxes.boxes().size(), 2, 3000);
    QCOMPARE(boxes.boxes().at(0).title, QString("Signal Value Error"));
    QCOMPARE(boxes.boxes().at(0).text, QString("Unknown signal error occured! - not served now"));
    QCOMPARE(boxes.boxes().at(0).snapshot, QString());
    QCOMPARE(boxes.boxes().at(1).title, QString("Communication Error"));
    QCOMPARE(boxes.boxes().at(1).text, QString("Communication from device failed!"));
    QVERIFY(buttonsEnabled(true));
}

QTEST_MAIN(DialogSimulatorTest)
#include "dialog_simulator_test.moc"
