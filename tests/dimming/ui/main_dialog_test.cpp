// The main dialog's behaviour: construction, the choice rule, presets, received values,
// errors, the port list, the Enter key and the busy periods. Engine reports are delivered
// to the dialog's slots by name; device traffic goes to a pseudo-terminal that answers
// only what a test writes to it.
#include "dimming/ui/about_dialog.h"
#include "dimming/ui/vistrel_dimming_dlg.h"
#include "tests/dimming/ui/engine_traffic.h"
#include "tests/dimming/ui/fake_ports.h"
#include "tests/dimming/ui/modal_box_watcher.h"
#include "tests/dimming/ui/numbers_start.h"
#include "tests/dimming/ui/request_summary.h"
#include "tests/dimming/ui/silent_device.h"
#include "tests/dimming/ui/widget_lookup.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QSlider>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

#include <limits>
#include <memory>

namespace {

constexpr double noNumber = std::numeric_limits<double>::quiet_NaN();
constexpr double infinity = std::numeric_limits<double>::infinity();

// JSON text written with single quotes in place of double quotes.
QByteArray j(const char *text)
{
    return QByteArray(text).replace('\'', '"');
}

const char *const actionButtons[] = {"pushButtonSetDayMax", "pushButtonSetNightMax", "pushButtonSetError",
    "pushButtonSetInit", "pushButtonSet", "pushButtonGet"};

// Debug lines of the dialog, gathered while a test runs.
QStringList *debugLines = nullptr;

void collectDebug(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (debugLines && type == QtDebugMsg)
        debugLines->append(message);
}

// The state of a widget as short text: choice text, number, checked or enabled state.
QString stateOf(const QWidget *window, const QString &name)
{
    const QWidget *widget = window->findChild<QWidget *>(name);
    if (!widget)
        return "missing " + name;
    if (auto *comboBox = qobject_cast<const QComboBox *>(widget))
        return comboBox->currentText();
    if (auto *slider = qobject_cast<const QSlider *>(widget))
        return QString::number(slider->value());
    if (auto *checkBox = qobject_cast<const QCheckBox *>(widget))
        return checkBox->isChecked() ? "checked" : "unchecked";
    return widget->isEnabled() ? "enabled" : "disabled";
}

}  // namespace

class MainDialogTest : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();
    void constructionBringsTheEngineUpToDate();
    void choiceRule();
    void presets_data();
    void presets();
    void receivedValues_data();
    void receivedValues();
    void receivedNightDesignFollowsRaw();
    void nightDesignFromAReply_data();
    void nightDesignFromAReply();
    void deviceErrors_data();
    void deviceErrors();
    void communicationErrors_data();
    void communicationErrors();
    void getWithoutDevice();
    void portListRefill();
    void setWithOnlyTheTimeout();
    void replyToGetOrSet_data();
    void replyToGetOrSet();
    void enterStartsNoPortSearch_data();
    void enterStartsNoPortSearch();
    void earlierBusyTimerDoesNotEndLaterPeriod();
    void aboutBoxOpensModallyAndClosesWithEnter();

private:
    void makeDialog(const QStringList &portNames = {});
    void informValue(Signal _signal, int raw, double physical, const QString &textual);
    void informSignalError(Signal _signal, int error, const QString &message);
    void informCommunicationError(int error);
    void informComPorts(const QStringList &ports);
    void showAndActivate();
    bool buttonsEnabled() const;
    bool buttonsDisabled() const;
    QString status() const { return child<QLabel>(dialog.get(), "labelStatusBar")->text(); }

    std::unique_ptr<FakePorts> ports;
    std::unique_ptr<VistrelDimmingDlg> dialog;
};

void MainDialogTest::makeDialog(const QStringList &portNames)
{
    ports = std::make_unique<FakePorts>(portNames);
    dialog = std::make_unique<VistrelDimmingDlg>();
}

void MainDialogTest::cleanup()
{
    dialog.reset();
    ports.reset();
    debugLines = nullptr;
    qInstallMessageHandler(nullptr);
}

void MainDialogTest::informValue(Signal _signal, int raw, double physical, const QString &textual)
{
    QVERIFY(QMetaObject::invokeMethod(dialog.get(), "informValue", Q_ARG(Signal, _signal), Q_ARG(int, raw),
        Q_ARG(double, physical), Q_ARG(QString, textual)));
}

void MainDialogTest::informSignalError(Signal _signal, int error, const QString &message)
{
    QVERIFY(QMetaObject::invokeMethod(dialog.get(), "informError", Q_ARG(Signal, _signal),
        Q_ARG(WorkingEngine::ErrorSignal, WorkingEngine::ErrorSignal(error)), Q_ARG(QString, message)));
}

void MainDialogTest::informCommunicationError(int error)
{
    QVERIFY(QMetaObject::invokeMethod(dialog.get(), "informError",
        Q_ARG(WorkingEngine::ErrorCommunication, WorkingEngine::ErrorCommunication(error))));
}

void MainDialogTest::informComPorts(const QStringList &portList)
{
    QVERIFY(QMetaObject::invokeMethod(dialog.get(), "informComPorts", Q_ARG(QStringList, portList)));
}

void MainDialogTest::showAndActivate()
{
    dialog->show();
    QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
}

bool MainDialogTest::buttonsEnabled() const
{
    for (const char *name : actionButtons)
        if (!child<QPushButton>(dialog.get(), name)->isEnabled())
            return false;
    return true;
}

bool MainDialogTest::buttonsDisabled() const
{
    for (const char *name : actionButtons)
        if (child<QPushButton>(dialog.get(), name)->isEnabled())
            return false;
    return true;
}

void MainDialogTest::constructionBringsTheEngineUpToDate()
{
    SilentDevice device;
    QVERIFY(device.isReady());
    QStringList lines;
    debugLines = &lines;
    qInstallMessageHandler(collectDebug);
    QLoggingCategory::defaultCategory()->setEnabled(QtDebugMsg, true);
    ports = std::make_unique<FakePorts>(QStringList {device.portName()});

    dialog = std::make_unique<VistrelDimmingDlg>();

    // After the boxes are filled (before the engine listens), the engine is asked for
    // the ports, takes the first as its port, then one value per signal in this order.
    QCOMPARE(ports->requests(), 1);
    const qsizetype portLine = lines.indexOf(QRegularExpression("serialPortChanged .*"));
    QVERIFY(portLine >= 0);
    QVERIFY(lines.at(portLine).contains(device.portName()));
    const QStringList afterPort = lines.mid(portLine + 1).filter(QRegularExpression("[cC]hanged$"));
    QCOMPARE(afterPort,
        (QStringList {"58xdchanged", "58xschanged", "58xtchanged", "nachtdesignchanged",
            "signalLS_Helligkeit_FWChanged", "signalRLS_Vorfeldhelligkeit_BoostChanged"}));

    for (const char *group : {"DI_KL_58xd", "DI_KL_58xs", "DI_KL_58xt", "LS_Helligkeit_FW"}) {
        QVERIFY(!child<QSlider>(dialog.get(), qPrintable(QString("horizontalSlider") + group))->isEnabled());
        QVERIFY(!child<QSpinBox>(dialog.get(), qPrintable(QString("spinBox") + group))->isEnabled());
        QCOMPARE(stateOf(dialog.get(), QString("comboBox") + group), QString("Init"));
    }
    QCOMPARE(stateOf(dialog.get(), "comboBoxRLS_Vorfeldhelligkeit_Boost"), QString("bis_6428_Lux"));
    QCOMPARE(stateOf(dialog.get(), "comboBoxSerialPort"), device.portName());
    QVERIFY(buttonsEnabled());
    QCOMPARE(status(), QString());

    // Nothing has gone to the device; the values it gets with the first Set are those of the widgets.
    QCOMPARE(device.drain(), QByteArray());
    QTest::mouseClick(child<QPushButton>(dialog.get(), "pushButtonSet"), Qt::LeftButton);
    QCOMPARE(requestSummary(device.takeLine()), QString("set 1=Init 2=Init 3=0 4=Init 5=Init 6=15"));
}

void MainDialogTest::choiceRule()
{
    makeDialog();
    EngineTraffic traffic(*dialog);
    auto *choice = child<QComboBox>(dialog.get(), "comboBoxDI_KL_58xd");
    auto *slider = child<QSlider>(dialog.get(), "horizontalSliderDI_KL_58xd");
    auto *spinBox = child<QSpinBox>(dialog.get(), "spinBoxDI_KL_58xd");

    // Locked while the choice is a named value: keys do not move the slider.
    QTest::keyClick(slider, Qt::Key_Right);
    QCOMPARE(slider->value(), 0);
    QCOMPARE(traffic.take(), QStringList());

    choice->setCurrentIndex(2);
    QVERIFY(slider->isEnabled());
    QVERIFY(spinBox->isEnabled());
    QTest::keyClick(slider, Qt::Key_Right);
    spinBox->setValue(40);
    QCOMPARE(traffic.take(), (QStringList {"store 1 0", "store 1 1", "store 1 40"}));

    choice->setCurrentIndex(1);
    QVERIFY(!slider->isEnabled());
    QVERIFY(!spinBox->isEnabled());
    QCOMPARE(slider->value(), 40);
    QCOMPARE(traffic.take(), QStringList {"store 1 Fehler"});

    // The night design check box stores on user clicks only.
    auto *nightDesign = child<QCheckBox>(dialog.get(), "checkBoxDI_Display_Nachtdesign");
    nightDesign->click();
    nightDesign->setChecked(false);
    child<QComboBox>(dialog.get(), "comboBoxRLS_Vorfeldhelligkeit_Boost")->setCurrentIndex(3);
    QCOMPARE(traffic.take(), (QStringList {"store 3 1", "store 6 3"}));
}

void MainDialogTest::presets_data()
{
    QTest::addColumn<bool>("startWithNumbers");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QStringList>("traffic");
    QTest::addColumn<QStringList>("widgets");
    QTest::addColumn<QString>("request");

    const QString setting = "status Setting values in progress.";
    // From the start state ("Init" everywhere, band 15, unchecked).
    QTest::newRow("Init from start") << false << "pushButtonSetInit" << QStringList {setting, "store 3 0", "send"}
                                     << QStringList {"Init", "0", "Init", "0", "unchecked", "bis_6428_Lux"}
                                     << "set 1=Init 2=Init 3=0 4=Init 5=Init 6=15";
    QTest::newRow("Error from start") << false << "pushButtonSetError"
                                      << QStringList {setting, "store 1 Fehler", "store 2 Fehler", "store 4 Fehler",
                                             "store 5 Fehler", "send"}
                                      << QStringList {"Fehler", "0", "Fehler", "0", "unchecked", "bis_6428_Lux"}
                                      << "set 1=Fehler 2=Fehler 3=0 4=Fehler 5=Fehler 6=15";
    // The choice turns to "Number" first, so the old slider number is stored before the preset's.
    QTest::newRow("Day Max from start") << false << "pushButtonSetDayMax"
                                        << QStringList {setting, "store 1 0", "store 1 253", "store 2 0", "store 4 0",
                                               "store 5 0", "store 5 6126", "store 3 0", "store 6 0", "send"}
                                        << QStringList {"Number", "253", "Number", "6126", "unchecked",
                                               "groesser_24413_Lux"}
                                        << "set 1=253 2=0 3=0 4=0 5=6126 6=0";
    QTest::newRow("Night Max from start")
        << false << "pushButtonSetNightMax"
        << QStringList {setting, "store 1 0", "store 1 100", "store 2 0", "store 2 100", "store 4 0", "store 4 100",
               "store 5 0", "store 3 1", "send"}
        << QStringList {"Number", "100", "Number", "0", "checked", "bis_6428_Lux"}
        << "set 1=100 2=100 3=1 4=100 5=0 6=15";
    // With every choice at "Number", sliders 5, 0, 7, 12, checked and band 3: only what changes is stored.
    QTest::newRow("Day Max over numbers")
        << true << "pushButtonSetDayMax"
        << QStringList {setting, "store 1 253", "store 4 0", "store 5 6126", "store 3 0", "store 6 0", "send"}
        << QStringList {"Number", "253", "Number", "6126", "unchecked", "groesser_24413_Lux"}
        << "set 1=253 2=0 3=0 4=0 5=6126 6=0";
    QTest::newRow("Init over numbers") << true << "pushButtonSetInit"
                                       << QStringList {setting, "store 1 Init", "store 2 Init", "store 4 Init",
                                              "store 5 Init", "store 3 0", "store 6 15", "send"}
                                       << QStringList {"Init", "5", "Init", "12", "unchecked", "bis_6428_Lux"}
                                       << "set 1=Init 2=Init 3=0 4=Init 5=Init 6=15";
    QTest::newRow("Error over numbers") << true << "pushButtonSetError"
                                        << QStringList {setting, "store 1 Fehler", "store 2 Fehler", "store 4 Fehler",
                                               "store 5 Fehler", "send"}
                                        << QStringList {"Fehler", "5", "Fehler", "12", "checked", "bis_20176_Lux"}
                                        << "set 1=Fehler 2=Fehler 3=1 4=Fehler 5=Fehler 6=3";
}

void MainDialogTest::presets()
{
    QFETCH(bool, startWithNumbers);
    QFETCH(QString, button);
    QFETCH(QStringList, traffic);
    QFETCH(QStringList, widgets);
    QFETCH(QString, request);

    SilentDevice device;
    QVERIFY(device.isReady());
    makeDialog({device.portName()});
    if (startWithNumbers)
        setEveryChoiceToNumbers(dialog.get());
    EngineTraffic recorded(*dialog);

    QTest::mouseClick(child<QPushButton>(dialog.get(), qPrintable(button)), Qt::LeftButton);

    QCOMPARE(recorded.entries, traffic);
    QCOMPARE(requestSummary(device.takeLine()), request);
    const QStringList shown {stateOf(dialog.get(), "comboBoxDI_KL_58xd"),
        stateOf(dialog.get(), "horizontalSliderDI_KL_58xd"), stateOf(dialog.get(), "comboBoxLS_Helligkeit_FW"),
        stateOf(dialog.get(), "horizontalSliderLS_Helligkeit_FW"),
        stateOf(dialog.get(), "checkBoxDI_Display_Nachtdesign"),
        stateOf(dialog.get(), "comboBoxRLS_Vorfeldhelligkeit_Boost")};
    QCOMPARE(shown, widgets);
}

void MainDialogTest::receivedValues_data()
{
    QTest::addColumn<int>("signal");
    QTest::addColumn<int>("raw");
    QTest::addColumn<double>("physical");
    QTest::addColumn<QString>("textual");
    QTest::addColumn<QStringList>("widgets");  // "name=state" after the value arrived
    QTest::addColumn<QString>("stored");  // the last value handed to the engine, if any
    QTest::addColumn<QString>("box");  // text of the box shown, empty for none

    QTest::newRow("percent cut to whole")
        << 2 << -1 << 99.7 << "" << QStringList {"comboBoxDI_KL_58xs=Number", "horizontalSliderDI_KL_58xs=99"}
        << "store 2 99"
        << "";
    QTest::newRow("negative cut toward zero")
        << 1 << -1 << -0.9 << "" << QStringList {"comboBoxDI_KL_58xd=Number", "horizontalSliderDI_KL_58xd=0"}
        << "store 1 0"
        << "";
    QTest::newRow("above the range") << 4 << -1 << 180.0 << ""
                                     << QStringList {"comboBoxDI_KL_58xt=Number", "horizontalSliderDI_KL_58xt=100"}
                                     << "store 4 100"
                                     << "";
    QTest::newRow("brightness number") << 5 << 17 << 1234.5 << ""
                                       << QStringList {"comboBoxLS_Helligkeit_FW=Number",
                                              "horizontalSliderLS_Helligkeit_FW=1234", "groupBoxRLS_02=enabled"}
                                       << "store 5 1234"
                                       << "";
    // Far outside any whole number: the slider still ends at its bound.
    QTest::newRow("brightness huge") << 5 << -1 << 1e12 << "" << QStringList {"horizontalSliderLS_Helligkeit_FW=6126"}
                                     << "store 5 6126"
                                     << "";
    QTest::newRow("minus infinity") << 1 << -1 << -infinity << "" << QStringList {"horizontalSliderDI_KL_58xd=0"}
                                    << "store 1 0"
                                    << "";
    QTest::newRow("named value") << 4 << -1 << noNumber << "Fehler" << QStringList {"comboBoxDI_KL_58xt=Fehler"}
                                 << "store 4 Fehler"
                                 << "";
    QTest::newRow("text wins over number")
        << 1 << 3 << 3.0 << "Fehler" << QStringList {"comboBoxDI_KL_58xd=Fehler", "horizontalSliderDI_KL_58xd=0"}
        << "store 1 Fehler"
        << "";
    QTest::newRow("unknown text ignored")
        << 2 << -1 << noNumber << "Maybe" << QStringList {"comboBoxDI_KL_58xs=Init"} << ""
        << "";
    QTest::newRow("brightness named") << 5 << -1 << noNumber << "Fehler"
                                      << QStringList {"comboBoxLS_Helligkeit_FW=Fehler"} << "store 5 Fehler"
                                      << "";
    QTest::newRow("band by name") << 6 << -1 << noNumber << "bis_9412_Lux"
                                  << QStringList {"comboBoxRLS_Vorfeldhelligkeit_Boost=bis_9412_Lux"} << "store 6 11"
                                  << "";
    QTest::newRow("band by number is invalid")
        << 6 << -1 << 3.0 << "" << QStringList {"comboBoxRLS_Vorfeldhelligkeit_Boost=bis_6428_Lux"} << ""
        << "Invalid Value received! Signal: RLS_Vorfeldhelligkeit_Boost";
    QTest::newRow("no value at all") << 2 << 5 << noNumber << "" << QStringList {"comboBoxDI_KL_58xs=Init"} << ""
                                     << "Invalid Value received! Signal: DI_KL_58xs";
    QTest::newRow("unknown signal without value") << 9 << -1 << noNumber << "" << QStringList {} << ""
                                                  << "Invalid Value received! Signal: ";
    QTest::newRow("unknown signal with value") << 9 << -1 << 4.0 << "" << QStringList {} << ""
                                               << "";
    QTest::newRow("no signal with text") << 0 << -1 << noNumber << "Init" << QStringList {} << ""
                                         << "";
    QTest::newRow("night design text ignored")
        << 3 << 1 << noNumber << "on" << QStringList {"checkBoxDI_Display_Nachtdesign=unchecked"} << ""
        << "";
}

void MainDialogTest::receivedValues()
{
    QFETCH(int, signal);
    QFETCH(int, raw);
    QFETCH(double, physical);
    QFETCH(QString, textual);
    QFETCH(QStringList, widgets);
    QFETCH(QString, stored);
    QFETCH(QString, box);

    makeDialog();
    ModalBoxWatcher boxes;
    EngineTraffic traffic(*dialog);
    boxes.setSnapshot([this] { return status(); });

    informValue(Signal(signal), raw, physical, textual);

    QCOMPARE(status(), QString("Values have been successfully got."));
    for (const QString &expected : widgets) {
        const QString name = expected.section('=', 0, 0);
        QCOMPARE(name + "=" + stateOf(dialog.get(), name), expected);
    }
    const QStringList stores = traffic.entries.filter(QRegularExpression("^store "));
    QCOMPARE(stores.isEmpty() ? QString() : stores.last(), stored);
    QCOMPARE(traffic.entries.value(0), QString("status Values have been successfully got."));
    if (box.isEmpty()) {
        QCOMPARE(boxes.boxes().size(), 0);
    } else {
        QCOMPARE(boxes.boxes().size(), 1);
        QCOMPARE(boxes.boxes().front().title, QString("Signal Value Error"));
        QCOMPARE(boxes.boxes().front().text, box);
        QCOMPARE(boxes.boxes().front().icon, QMessageBox::Critical);
        QCOMPARE(boxes.boxes().front().parent, dialog.get());
        // The status line has changed before the box shows.
        QCOMPARE(boxes.boxes().front().snapshot, QString("Values have been successfully got."));
    }
}

void MainDialogTest::receivedNightDesignFollowsRaw()
{
    makeDialog();
    EngineTraffic traffic(*dialog);
    auto *nightDesign = child<QCheckBox>(dialog.get(), "checkBoxDI_Display_Nachtdesign");

    informValue(Signal::DI_Display_Nachtdesign, 1, 1.0, QString());
    QVERIFY(nightDesign->isChecked());
    // The physical value only says that a value came; the state is taken from raw.
    informValue(Signal::DI_Display_Nachtdesign, 0, 1.0, QString());
    QVERIFY(!nightDesign->isChecked());
    QCOMPARE(traffic.entries.filter(QRegularExpression("^store ")), (QStringList {"store 3 1", "store 3 0"}));
}

void MainDialogTest::nightDesignFromAReply_data()
{
    QTest::addColumn<QByteArray>("value");  // the "value" object of the reply's item for signal 3
    QTest::addColumn<bool>("startChecked");
    QTest::addColumn<bool>("checked");
    QTest::addColumn<QString>("request");  // what the next Set sends

    const QString off = "set 1=Init 2=Init 3=0 4=Init 5=Init 6=15";
    // Each reply turns the box away from where it started.
    QTest::newRow("physical 0 only") << j("{'physical':0}") << true << false << off;
    QTest::newRow("physical 1 only") << j("{'physical':1}") << false << true
                                     << "set 1=Init 2=Init 3=1 4=Init 5=Init 6=15";
    QTest::newRow("physical object 0 only") << j("{'physical':{'numerical':0.0,'unit':''}}") << true << false << off;
    QTest::newRow("raw decides over physical") << j("{'raw':0,'physical':1}") << true << false << off;
}

void MainDialogTest::nightDesignFromAReply()
{
    QFETCH(QByteArray, value);
    QFETCH(bool, startChecked);
    QFETCH(bool, checked);
    QFETCH(QString, request);

    SilentDevice device;
    QVERIFY(device.isReady());
    makeDialog({device.portName()});
    ModalBoxWatcher boxes;
    auto *nightDesign = child<QCheckBox>(dialog.get(), "checkBoxDI_Display_Nachtdesign");
    if (startChecked)
        nightDesign->click();

    QTest::mouseClick(child<QPushButton>(dialog.get(), "pushButtonGet"), Qt::LeftButton);
    QCOMPARE(requestSummary(device.takeLine()), QString("get 1 2 3 4 5 6"));
    device.answer(j("{'category':'CAN','case':'state','sort':'signal','data':[{'identifier':{'code':3},'value':")
        + value + "}]}\n");
    QTRY_COMPARE_WITH_TIMEOUT(status(), QString("Values have been successfully got."), 3000);
    QCOMPARE(nightDesign->isChecked(), checked);
    QVERIFY(boxes.boxes().isEmpty());

    QVERIFY(buttonsEnabled());
    QTest::mouseClick(child<QPushButton>(dialog.get(), "pushButtonSet"), Qt::LeftButton);
    QCOMPARE(requestSummary(device.takeLine()), request);
}

void MainDialogTest::deviceErrors_data()
{
    QTest::addColumn<int>("signal");
    QTest::addColumn<int>("error");
    QTest::addColumn<bool>("groupDisabled");
    QTest::addColumn<bool>("boxShown");

    QTest::newRow("21 for brightness") << 5 << 21 << true << false;
    QTest::newRow("21 for boost") << 6 << 21 << true << false;
    QTest::newRow("21 for 58xd") << 1 << 21 << false << true;
    QTest::newRow("21 for night design") << 3 << 21 << false << true;
    QTest::newRow("other for brightness") << 5 << 7 << false << true;
    QTest::newRow("zero for boost") << 6 << 0 << false << true;
}

void MainDialogTest::deviceErrors()
{
    QFETCH(int, signal);
    QFETCH(int, error);
    QFETCH(bool, groupDisabled);
    QFETCH(bool, boxShown);

    makeDialog();
    ModalBoxWatcher boxes;
    emit dialog->statusChanged("earlier status");

    informSignalError(Signal(signal), error, "not served");

    QCOMPARE(stateOf(dialog.get(), "groupBoxRLS_02"), QString(groupDisabled ? "disabled" : "enabled"));
    QCOMPARE(boxes.boxes().size(), boxShown ? 1 : 0);
    if (boxShown) {
        QCOMPARE(boxes.boxes().front().title, QString("Signal Value Error"));
        QCOMPARE(boxes.boxes().front().text, QString("Unknown signal error occured! - not served"));
        QCOMPARE(boxes.boxes().front().icon, QMessageBox::Critical);
        QCOMPARE(status(), QString());
    } else {
        QCOMPARE(status(), QString("earlier status"));
        // Any later value for the group gives it back.
        informValue(Signal::LS_Helligkeit_FW, -1, 6.0, QString());
        QCOMPARE(stateOf(dialog.get(), "groupBoxRLS_02"), QString("enabled"));
    }
}

void MainDialogTest::communicationErrors_data()
{
    QTest::addColumn<int>("error");
    QTest::addColumn<QString>("text");

    QTest::newRow("1") << 1 << "Cannot connect to the device!";
    QTest::newRow("2") << 2 << "No device found!";
    QTest::newRow("3") << 3 << "Please select the device!";
    QTest::newRow("4") << 4 << "Communication to device failed!";
    QTest::newRow("5") << 5 << "Communication from device failed!";
    QTest::newRow("0") << 0 << "Unknown error occured!";
    QTest::newRow("6") << 6 << "Unknown error occured!";
}

void MainDialogTest::communicationErrors()
{
    QFETCH(int, error);
    QFETCH(QString, text);

    makeDialog();
    ModalBoxWatcher boxes;
    emit dialog->statusChanged("earlier status");

    informCommunicationError(error);

    QCOMPARE(status(), QString());
    QCOMPARE(boxes.boxes().size(), 1);
    QCOMPARE(boxes.boxes().front().title, QString("Communication Error"));
    QCOMPARE(boxes.boxes().front().text, text);
    QCOMPARE(boxes.boxes().front().icon, QMessageBox::Critical);
}

void MainDialogTest::getWithoutDevice()
{
    makeDialog();
    showAndActivate();
    ModalBoxWatcher boxes;
    auto *get = child<QPushButton>(dialog.get(), "pushButtonGet");
    child<QComboBox>(dialog.get(), "comboBoxSerialPort")->setFocus();

    QTest::mouseClick(get, Qt::LeftButton);

    QCOMPARE(boxes.boxes().size(), 1);
    QCOMPARE(boxes.boxes().front().title, QString("Communication Error"));
    QCOMPARE(boxes.boxes().front().text, QString("No device found!"));
    QCOMPARE(status(), QString());
    QVERIFY(buttonsEnabled());
    QCOMPARE(dialog->focusWidget(), get);
}

void MainDialogTest::portListRefill()
{
    makeDialog();
    EngineTraffic traffic(*dialog);
    auto *portBox = child<QComboBox>(dialog.get(), "comboBoxSerialPort");

    informComPorts({"ttyACM0", "ttyACM1", "ttyACM2"});
    QCOMPARE(portBox->count(), 3);
    QCOMPARE(portBox->itemText(0), QString("ttyACM0"));
    QCOMPARE(portBox->itemText(1), QString("ttyACM1"));
    QCOMPARE(portBox->itemText(2), QString("ttyACM2"));
    QCOMPARE(portBox->currentText(), QString("ttyACM0"));
    QCOMPARE(traffic.take(), QStringList {"port ttyACM0"});

    // An empty list leaves the engine without a port.
    informComPorts({});
    QCOMPARE(portBox->count(), 0);
    QCOMPARE(portBox->currentText(), QString());
    QCOMPARE(traffic.take(), QStringList {"port "});

    // A typed name goes to the engine as it is typed; Reload asks for the list again.
    showAndActivate();
    portBox->setFocus();
    QTest::keyClicks(portBox, "/tmp/x");
    QCOMPARE(traffic.take().last(), QString("port /tmp/x"));
    ports->setNames({"ttyACM9", "ttyACM10"});
    QTest::mouseClick(child<QPushButton>(dialog.get(), "pushButtonReload"), Qt::LeftButton);
    QCOMPARE(ports->requests(), 2);
    // The engine answers within the emission, before this recorder hears the request.
    QCOMPARE(traffic.take(), (QStringList {"port ttyACM9", "refresh"}));
    QCOMPARE(portBox->currentText(), QString("ttyACM9"));
    QCOMPARE(portBox->count(), 2);
}

void MainDialogTest::setWithOnlyTheTimeout()
{
    SilentDevice device;
    QVERIFY(device.isReady());
    makeDialog({device.portName()});
    showAndActivate();
    informSignalError(Signal::LS_Helligkeit_FW, 21, "not served");
    QCOMPARE(stateOf(dialog.get(), "groupBoxRLS_02"), QString("disabled"));
    auto *set = child<QPushButton>(dialog.get(), "pushButtonSet");
    child<QComboBox>(dialog.get(), "comboBoxSerialPort")->setFocus();

    // Started before the click, so that it never shows less time than the busy timer has run.
    QElapsedTimer sinceClick;
    sinceClick.start();
    QTest::mouseClick(set, Qt::LeftButton);

    QVERIFY(buttonsDisabled());
    QCOMPARE(status(), QString("Setting values in progress."));
    QCOMPARE(requestSummary(device.takeLine()), QString("set 1=Init 2=Init 3=0 4=Init 5=Init 6=15"));
    // The engine's wait ends without an answer: the send counts as done, the period goes on.
    QTRY_COMPARE_WITH_TIMEOUT(status(), QString("Values have been successfully set."), 3000);
    if (sinceClick.elapsed() < 900)
        QVERIFY(buttonsDisabled());
    QTRY_VERIFY_WITH_TIMEOUT(buttonsEnabled(), 3000);
    QVERIFY(sinceClick.elapsed() >= 990);
    QCOMPARE(stateOf(dialog.get(), "groupBoxRLS_02"), QString("enabled"));
    QCOMPARE(QApplication::focusWidget(), set);
}

void MainDialogTest::replyToGetOrSet_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QByteArray>("reply");  // what the device writes after the request
    QTest::addColumn<QString>("box");  // the text of the "Communication Error" box, empty for none
    QTest::addColumn<QString>("finalStatus");

    const QString failed = "Communication from device failed!";
    const QString set = "Values have been successfully set.";
    const QByteArray jsonError = j("{'category':'JSON','case':'error','sort':{'number':1,'message':'syntax error'},"
                                   "'data':{'position':17}}\r\n");
    const QByteArray canError0110 = j("{'category':'CAN','case':'error','sort':{'number':272,'message':'busy'},"
                                      "'data':[{'identifier':{'code':1}}]}\r\n");
    const QByteArray garbage = "#?garbage\x01\x7F\r\n";

    // A reply that refuses the request, or bytes that are no reply, are no success.
    QTest::newRow("set refused as unreadable JSON") << "pushButtonSet" << jsonError << failed << "";
    QTest::newRow("set refused with CAN error 0x0110") << "pushButtonSet" << canError0110 << failed << "";
    QTest::newRow("set refused with CAN error naming no signal")
        << "pushButtonSet" << j("{'category':'CAN','case':'error','sort':{'number':272,'message':'busy'},'data':[]}\n")
        << failed << "";
    QTest::newRow("set answered with garbage") << "pushButtonSet" << garbage << failed << "";
    QTest::newRow("set answered with a cut-off reply")
        << "pushButtonSet" << j("{'category':'CAN','case':'error','sort':{'numb") << failed << "";
    QTest::newRow("set answered with a state reply without code")
        << "pushButtonSet"
        << j("{'category':'CAN','case':'state','sort':'signal','data':[{'identifier':{},'value':{'raw':1}}]}\n")
        << failed << "";
    QTest::newRow("get refused as unreadable JSON") << "pushButtonGet" << jsonError << failed << "";
    QTest::newRow("get refused with CAN error 0x0110") << "pushButtonGet" << canError0110 << failed << "";
    QTest::newRow("get answered with garbage") << "pushButtonGet" << garbage << failed << "";

    // Silence, and replies that refuse nothing, leave the set a success.
    QTest::newRow("set in silence") << "pushButtonSet" << QByteArray() << "" << set;
    QTest::newRow("set followed by a notification")
        << "pushButtonSet"
        << j("{'category':'HID','case':'update','sort':'button','data':[{'button':2,'pressed':true}]}\n") << "" << set;
    QTest::newRow("set with brightness not served")
        << "pushButtonSet"
        << j("{'category':'CAN','case':'error','sort':{'number':789,'message':'not served'},'data':[{'identifier':{'code':5}}]}\n")
        << "" << set;
}

void MainDialogTest::replyToGetOrSet()
{
    QFETCH(QString, button);
    QFETCH(QByteArray, reply);
    QFETCH(QString, box);
    QFETCH(QString, finalStatus);

    SilentDevice device;
    QVERIFY(device.isReady());
    makeDialog({device.portName()});
    ModalBoxWatcher boxes;
    boxes.setSnapshot([this] { return status(); });

    QTest::mouseClick(child<QPushButton>(dialog.get(), qPrintable(button)), Qt::LeftButton);
    const QString progress = status();
    QVERIFY(!device.takeLine().isEmpty());
    if (!reply.isEmpty())
        device.answer(reply);

    // The engine reads once its wait is over; whatever it reports then comes at once.
    QTRY_VERIFY_WITH_TIMEOUT(status() != progress, 3000);
    QTest::qWait(100);
    QCOMPARE(status(), finalStatus);
    if (box.isEmpty()) {
        QVERIFY(boxes.boxes().isEmpty());
    } else {
        QCOMPARE(boxes.boxes().size(), 1);
        QCOMPARE(boxes.boxes().front().title, QString("Communication Error"));
        QCOMPARE(boxes.boxes().front().text, box);
        QCOMPARE(boxes.boxes().front().snapshot, QString());
        QVERIFY(buttonsEnabled());
    }
}

void MainDialogTest::enterStartsNoPortSearch_data()
{
    QTest::addColumn<bool>("inSpinBox");  // else in the port box

    QTest::newRow("port box") << false;
    QTest::newRow("spin box") << true;
}

void MainDialogTest::enterStartsNoPortSearch()
{
    QFETCH(bool, inSpinBox);

    makeDialog({"ttyACM7"});
    showAndActivate();
    auto *portBox = child<QComboBox>(dialog.get(), "comboBoxSerialPort");
    QCOMPARE(portBox->currentText(), QString("ttyACM7"));
    portBox->setFocus();
    portBox->clearEditText();
    QTest::keyClicks(portBox->lineEdit(), "/tmp/ttyVistrel");
    QCOMPARE(portBox->currentText(), QString("/tmp/ttyVistrel"));
    EngineTraffic traffic(*dialog);

    if (inSpinBox) {
        child<QComboBox>(dialog.get(), "comboBoxDI_KL_58xs")->setCurrentIndex(2);
        auto *spinBox = child<QSpinBox>(dialog.get(), "spinBoxDI_KL_58xs");
        spinBox->setFocus();
        QWidget *typedInto = QApplication::focusWidget();
        QVERIFY(typedInto == spinBox || spinBox->isAncestorOf(typedInto));
        QTest::keyClick(typedInto, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(typedInto, "42");
        QTest::keyClick(typedInto, Qt::Key_Return);
        QCOMPARE(spinBox->value(), 42);
    } else {
        QTest::keyClick(portBox->lineEdit(), Qt::Key_Return);
    }

    QCOMPARE(ports->requests(), 1);  // the one of construction
    QVERIFY(!traffic.entries.contains("refresh"));
    QCOMPARE(portBox->currentText(), QString("/tmp/ttyVistrel"));
    QVERIFY(dialog->isVisible());
}

void MainDialogTest::earlierBusyTimerDoesNotEndLaterPeriod()
{
    // A Get that fails early, then a Set whose period must last its full second even
    // though the Get's timer runs out in the middle of it.
    SilentDevice device;
    QVERIFY(device.isReady());
    makeDialog({device.portName()});
    ModalBoxWatcher boxes;

    QElapsedTimer sinceGet;
    sinceGet.start();
    QTest::mouseClick(child<QPushButton>(dialog.get(), "pushButtonGet"), Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(boxes.boxes().size(), 1, 3000);  // no answer to the get
    QCOMPARE(boxes.boxes().front().text, QString("Communication from device failed!"));
    QVERIFY(buttonsEnabled());
    while (sinceGet.elapsed() < 600)
        QTest::qWait(10);

    QElapsedTimer sinceSet;
    sinceSet.start();
    QTest::mouseClick(child<QPushButton>(dialog.get(), "pushButtonSet"), Qt::LeftButton);
    while (sinceGet.elapsed() < 1250)
        QTest::qWait(10);
    if (sinceSet.elapsed() >= 950)
        QSKIP("the event loop ran too late to tell the two timers apart");
    QVERIFY(buttonsDisabled());
    QTRY_VERIFY_WITH_TIMEOUT(buttonsEnabled(), 3000);
    QVERIFY(sinceSet.elapsed() >= 990);
}

void MainDialogTest::aboutBoxOpensModallyAndClosesWithEnter()
{
    makeDialog();
    showAndActivate();
    QPointer<AboutDialog> seen;
    QWidget *seenParent = nullptr;
    QTimer poll;
    connect(&poll, &QTimer::timeout, this, [&] {
        auto *about = qobject_cast<AboutDialog *>(QApplication::activeModalWidget());
        if (!about || seen)
            return;
        seen = about;
        seenParent = about->parentWidget();
        QTest::keyClick(about, Qt::Key_Return);
    });
    poll.start(5);
    QTimer::singleShot(5000, dialog.get(), [] {
        if (auto *modal = QApplication::activeModalWidget())
            modal->close();
    });

    QTest::mouseClick(child<QPushButton>(dialog.get(), "pushButtonAbout"), Qt::LeftButton);

    QVERIFY(seenParent == dialog.get());
    QVERIFY(seen.isNull());  // destroyed once closed
    QVERIFY(!dialog->findChild<AboutDialog *>());
}

QTEST_MAIN(MainDialogTest)
#include "main_dialog_test.moc"
