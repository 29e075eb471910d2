#include "dimming/ui/vistrel_dimming_dlg.h"

#include "ui_vistrel_dimming_dlg.h"

#include "contract/device_contract.hpp"
#include "dimming/engine/lux_bands.h"
#include "dimming/engine/signal_value.h"
#include "dimming/engine/texts.h"
#include "dimming/ui/about_dialog.h"

#include <QDebug>
#include <QIcon>
#include <QMessageBox>
#include <QStyle>
#include <QTimer>
#include <QtNumeric>

#include <algorithm>

namespace {

constexpr int choiceNumberIndex = 2;
constexpr int bandInitIndex = 15;  // "bis_6428_Lux"
constexpr int bandDayMaxIndex = 0;  // "groesser_24413_Lux"
constexpr int busyMilliseconds = 1000;

// A received physical value as a slider position: cut toward zero and kept within the
// slider's range, so that no value from the device can overflow the conversion.
int sliderPosition(double physical, const QSlider *slider)
{
    const double bounded = std::clamp(physical, double(slider->minimum()), double(slider->maximum()));
    return static_cast<int>(bounded);
}

void selectText(QComboBox *comboBox, const QString &text)
{
    const int index = comboBox->findText(text);
    if (index >= 0)
        comboBox->setCurrentIndex(index);
}

}  // namespace

VistrelDimmingDlg::VistrelDimmingDlg(QWidget *parent)
    : QDialog(parent, Qt::WindowFlags())
    , ui(new Ui::VistrelDimmingDlg)
    , engine(vistrel::contract::vendor_id, vistrel::contract::product_id,
          int(vistrel::contract::dimming_reply_wait.count()), nullptr)
    , busyFocus(nullptr)
    , busy(false)
{
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    ui->setupUi(this);
    // The reload button has no text; where the icon theme lacks its icon, the style's
    // reload icon keeps it recognisable.
    if (ui->pushButtonReload->icon().isNull())
        ui->pushButtonReload->setIcon(style()->standardIcon(QStyle::SP_BrowserReload));

    // Filling an empty box makes its first entry current and runs its slot; the engine
    // is not connected yet, so only the widget states follow.
    for (QComboBox *comboBox :
        {ui->comboBoxDI_KL_58xt, ui->comboBoxDI_KL_58xs, ui->comboBoxDI_KL_58xd, ui->comboBoxLS_Helligkeit_FW})
        comboBox->addItems({choiceInit, choiceError, choiceNumber});
    for (const QString &band : luxBandNames)
        ui->comboBoxRLS_Vorfeldhelligkeit_Boost->addItem(band);

    setWindowIcon(QIcon(QStringLiteral(":/IDI_ICON1")));

    const auto direct = Qt::DirectConnection;
    connect(this, &VistrelDimmingDlg::refreshComPorts, &engine, &WorkingEngine::refreshComPorts, direct);
    connect(this, &VistrelDimmingDlg::setComPort, &engine, &WorkingEngine::setComPort, direct);
    connect(this, qOverload<Signal, int>(&VistrelDimmingDlg::storeValue), &engine,
        qOverload<Signal, int>(&WorkingEngine::storeValue), direct);
    connect(this, qOverload<Signal, double>(&VistrelDimmingDlg::storeValue), &engine,
        qOverload<Signal, double>(&WorkingEngine::storeValue), direct);
    connect(this, qOverload<Signal, QString>(&VistrelDimmingDlg::storeValue), &engine,
        qOverload<Signal, QString>(&WorkingEngine::storeValue), direct);
    connect(this, &VistrelDimmingDlg::sendAll, &engine, &WorkingEngine::sendAll, direct);
    connect(this, &VistrelDimmingDlg::receiveAll, &engine, &WorkingEngine::receiveAll, direct);
    connect(&engine, &WorkingEngine::informComPorts, this, &VistrelDimmingDlg::informComPorts, direct);
    connect(&engine, &WorkingEngine::informValue, this, &VistrelDimmingDlg::informValue, direct);
    connect(&engine, qOverload<WorkingEngine::ErrorCommunication>(&WorkingEngine::informError), this,
        qOverload<WorkingEngine::ErrorCommunication>(&VistrelDimmingDlg::informError), direct);
    connect(&engine, qOverload<Signal, WorkingEngine::ErrorSignal, QString>(&WorkingEngine::informError), this,
        qOverload<Signal, WorkingEngine::ErrorSignal, QString>(&VistrelDimmingDlg::informError), direct);
    connect(&engine, &WorkingEngine::informTimeout, this, &VistrelDimmingDlg::informTimeout, direct);

    // Bring the engine up to date with what the widgets show; nothing is sent.
    emit refreshComPorts();
    signalDI_KL_58xdChanged(0);
    signalDI_KL_58xsChanged(0);
    signalDI_KL_58xtChanged(0);
    signalDI_Display_NachtdesignChanged(ui->checkBoxDI_Display_Nachtdesign->isChecked());
    signalLS_Helligkeit_FWChanged(0);
    ui->comboBoxRLS_Vorfeldhelligkeit_Boost->setCurrentIndex(bandInitIndex);
}

VistrelDimmingDlg::~VistrelDimmingDlg()
{
    delete ui;
}

void VistrelDimmingDlg::signalDI_KL_58xdChanged(int)
{
    qDebug() << "58xdchanged";
    applyChoice(ui->horizontalSliderDI_KL_58xd, ui->spinBoxDI_KL_58xd, ui->comboBoxDI_KL_58xd, Signal::DI_KL_58xd);
}

void VistrelDimmingDlg::signalDI_KL_58xsChanged(int)
{
    qDebug() << "58xschanged";
    applyChoice(ui->horizontalSliderDI_KL_58xs, ui->spinBoxDI_KL_58xs, ui->comboBoxDI_KL_58xs, Signal::DI_KL_58xs);
}

void VistrelDimmingDlg::signalDI_KL_58xtChanged(int)
{
    qDebug() << "58xtchanged";
    applyChoice(ui->horizontalSliderDI_KL_58xt, ui->spinBoxDI_KL_58xt, ui->comboBoxDI_KL_58xt, Signal::DI_KL_58xt);
}

void VistrelDimmingDlg::signalLS_Helligkeit_FWChanged(int)
{
    qDebug() << "signalLS_Helligkeit_FWChanged";
    applyChoice(ui->horizontalSliderLS_Helligkeit_FW, ui->spinBoxLS_Helligkeit_FW, ui->comboBoxLS_Helligkeit_FW,
        Signal::LS_Helligkeit_FW);
}

void VistrelDimmingDlg::signalDI_Display_NachtdesignChanged(bool checked)
{
    qDebug() << "nachtdesignchanged";
    emit storeValue(Signal::DI_Display_Nachtdesign, checked ? 1 : 0);
}

void VistrelDimmingDlg::signalRLS_Vorfeldhelligkeit_BoostChanged(int index)
{
    qDebug() << "signalRLS_Vorfeldhelligkeit_BoostChanged";
    emit storeValue(Signal::RLS_Vorfeldhelligkeit_Boost, index);
}

void VistrelDimmingDlg::reloadClicked()
{
    emit refreshComPorts();
}

void VistrelDimmingDlg::serialPorChanged(QString text)
{
    qDebug() << "serialPortChanged" << text;
    emit setComPort(text);
}

void VistrelDimmingDlg::getClicked()
{
    enableControls(false, ui->pushButtonGet);
    emit statusChanged(statusGetting);
    emit receiveAll();
}

void VistrelDimmingDlg::setClicked()
{
    enableControls(false, ui->pushButtonSet);
    emit statusChanged(statusSetting);
    emit sendAll();
}

void VistrelDimmingDlg::setNightMaxClicked()
{
    enableControls(false, ui->pushButtonSetNightMax);
    emit statusChanged(statusSetting);
    chooseNumber(ui->comboBoxDI_KL_58xd, ui->horizontalSliderDI_KL_58xd, 100);
    chooseNumber(ui->comboBoxDI_KL_58xs, ui->horizontalSliderDI_KL_58xs, 100);
    chooseNumber(ui->comboBoxDI_KL_58xt, ui->horizontalSliderDI_KL_58xt, 100);
    chooseNumber(ui->comboBoxLS_Helligkeit_FW, ui->horizontalSliderLS_Helligkeit_FW, 0);
    ui->checkBoxDI_Display_Nachtdesign->setChecked(true);
    signalDI_Display_NachtdesignChanged(true);
    ui->comboBoxRLS_Vorfeldhelligkeit_Boost->setCurrentIndex(bandInitIndex);
    emit sendAll();
}

void VistrelDimmingDlg::setDayMaxClicked()
{
    enableControls(false, ui->pushButtonSetDayMax);
    emit statusChanged(statusSetting);
    chooseNumber(ui->comboBoxDI_KL_58xd, ui->horizontalSliderDI_KL_58xd, 253);
    chooseNumber(ui->comboBoxDI_KL_58xs, ui->horizontalSliderDI_KL_58xs, 0);
    chooseNumber(ui->comboBoxDI_KL_58xt, ui->horizontalSliderDI_KL_58xt, 0);
    chooseNumber(ui->comboBoxLS_Helligkeit_FW, ui->horizontalSliderLS_Helligkeit_FW, 6126);
    ui->checkBoxDI_Display_Nachtdesign->setChecked(false);
    signalDI_Display_NachtdesignChanged(false);
    ui->comboBoxRLS_Vorfeldhelligkeit_Boost->setCurrentIndex(bandDayMaxIndex);
    emit sendAll();
}

void VistrelDimmingDlg::setInitClicked()
{
    enableControls(false, ui->pushButtonSetInit);
    emit statusChanged(statusSetting);
    ui->comboBoxDI_KL_58xd->setCurrentIndex(0);
    ui->comboBoxDI_KL_58xs->setCurrentIndex(0);
    ui->comboBoxDI_KL_58xt->setCurrentIndex(0);
    ui->comboBoxLS_Helligkeit_FW->setCurrentIndex(0);
    ui->checkBoxDI_Display_Nachtdesign->setChecked(false);
    signalDI_Display_NachtdesignChanged(false);
    ui->comboBoxRLS_Vorfeldhelligkeit_Boost->setCurrentIndex(bandInitIndex);
    emit sendAll();
}

void VistrelDimmingDlg::setErrorClicked()
{
    enableControls(false, ui->pushButtonSetError);
    emit statusChanged(statusSetting);
    ui->comboBoxDI_KL_58xd->setCurrentIndex(1);
    ui->comboBoxDI_KL_58xs->setCurrentIndex(1);
    ui->comboBoxDI_KL_58xt->setCurrentIndex(1);
    ui->comboBoxLS_Helligkeit_FW->setCurrentIndex(1);
    emit sendAll();
}

void VistrelDimmingDlg::informComPorts(QStringList portList)
{
    // Every change of the current text reaches serialPorChanged, so the engine ends up
    // with the first listed port, or with no port for an empty list.
    ui->comboBoxSerialPort->clear();
    ui->comboBoxSerialPort->addItems(portList);
    if (!portList.isEmpty())
        ui->comboBoxSerialPort->setCurrentIndex(0);
}

void VistrelDimmingDlg::informValue(Signal _signal, int raw, double physical, QString textual)
{
    qDebug() << "informValue" << int(_signal) << "raw:" << raw << "physical:" << physical << "textual:" << textual;
    enableControls(true, nullptr);
    emit statusChanged(statusGot);

    if (!textual.isEmpty()) {
        switch (_signal) {
        case Signal::DI_KL_58xd:
            selectText(ui->comboBoxDI_KL_58xd, textual);
            break;
        case Signal::DI_KL_58xs:
            selectText(ui->comboBoxDI_KL_58xs, textual);
            break;
        case Signal::DI_KL_58xt:
            selectText(ui->comboBoxDI_KL_58xt, textual);
            break;
        case Signal::LS_Helligkeit_FW:
            ui->groupBoxRLS_02->setEnabled(true);
            selectText(ui->comboBoxLS_Helligkeit_FW, textual);
            break;
        case Signal::RLS_Vorfeldhelligkeit_Boost:
            ui->groupBoxRLS_02->setEnabled(true);
            selectText(ui->comboBoxRLS_Vorfeldhelligkeit_Boost, textual);
            break;
        default:
            break;
        }
        return;
    }

    if (qIsNaN(physical)) {
        showInvalidValue(_signal);
        return;
    }

    switch (_signal) {
    case Signal::DI_KL_58xd:
        chooseNumber(ui->comboBoxDI_KL_58xd, ui->horizontalSliderDI_KL_58xd,
            sliderPosition(physical, ui->horizontalSliderDI_KL_58xd));
        break;
    case Signal::DI_KL_58xs:
        chooseNumber(ui->comboBoxDI_KL_58xs, ui->horizontalSliderDI_KL_58xs,
            sliderPosition(physical, ui->horizontalSliderDI_KL_58xs));
        break;
    case Signal::DI_KL_58xt:
        chooseNumber(ui->comboBoxDI_KL_58xt, ui->horizontalSliderDI_KL_58xt,
            sliderPosition(physical, ui->horizontalSliderDI_KL_58xt));
        break;
    case Signal::DI_Display_Nachtdesign: {
        // The night design travels as a raw flag; a reply that carries the physical value
        // only gives the state by that value.
        const bool checked = raw != SignalValue::noRaw ? raw != 0 : physical != 0.0;
        ui->checkBoxDI_Display_Nachtdesign->setChecked(checked);
        signalDI_Display_NachtdesignChanged(checked);
        break;
    }
    case Signal::LS_Helligkeit_FW:
        ui->groupBoxRLS_02->setEnabled(true);
        chooseNumber(ui->comboBoxLS_Helligkeit_FW, ui->horizontalSliderLS_Helligkeit_FW,
            sliderPosition(physical, ui->horizontalSliderLS_Helligkeit_FW));
        break;
    case Signal::RLS_Vorfeldhelligkeit_Boost:
        // Bands are accepted by name only.
        showInvalidValue(_signal);
        break;
    default:
        break;
    }
}

void VistrelDimmingDlg::informError(WorkingEngine::ErrorCommunication error)
{
    enableControls(true, nullptr);
    emit statusChanged(QString());
    QMessageBox::critical(this, titleCommunicationError, communicationMessage(error));
}

void VistrelDimmingDlg::informError(Signal _signal, WorkingEngine::ErrorSignal error, QString message)
{
    enableControls(true, nullptr);
    qDebug() << "Signal" << int(_signal) << ": problem code" << int(error) << "with message" << message;

    const bool inBrightnessGroup =
        _signal == Signal::LS_Helligkeit_FW || _signal == Signal::RLS_Vorfeldhelligkeit_Boost;
    if (error == WorkingEngine::SignalUnavailable && inBrightnessGroup) {
        ui->groupBoxRLS_02->setEnabled(false);
        return;
    }
    emit statusChanged(QString());
    QMessageBox::critical(this, titleSignalValueError, msgUnknownSignalError + QStringLiteral(" - ") + message);
}

void VistrelDimmingDlg::informTimeout()
{
    // A set request has no answer of its own; the busy timer or a later answer ends the period.
    emit statusChanged(statusSet);
}

void VistrelDimmingDlg::aboutDlgClicked()
{
    AboutDialog about(this);
    about.exec();
}

void VistrelDimmingDlg::enableControls(bool enable, QWidget *focus)
{
    for (QPushButton *button : {ui->pushButtonSetDayMax, ui->pushButtonSetNightMax, ui->pushButtonSetError,
             ui->pushButtonSetInit, ui->pushButtonSet, ui->pushButtonGet})
        button->setEnabled(enable);

    if (!enable) {
        busyFocus = focus;
        busy = true;
        const quint64 period = ++busyPeriod;
        QTimer::singleShot(busyMilliseconds, Qt::PreciseTimer, this, [this, period] {
            // No answer within the second: give the controls back.
            if (busy && period == busyPeriod) {
                ui->groupBoxRLS_02->setEnabled(true);
                enableControls(true, nullptr);
            }
        });
        return;
    }

    if (busyFocus) {
        busyFocus->setFocus(Qt::OtherFocusReason);
        busyFocus = nullptr;
    }
    busy = false;
}

void VistrelDimmingDlg::applyChoice(QSlider *slider, QSpinBox *spinBox, QComboBox *comboBox, Signal _signal)
{
    if (comboBox->currentIndex() == choiceNumberIndex) {
        slider->setEnabled(true);
        spinBox->setEnabled(true);
        emit storeValue(_signal, slider->value());
    } else {
        slider->setEnabled(false);
        spinBox->setEnabled(false);
        emit storeValue(_signal, comboBox->currentText());
    }
}

void VistrelDimmingDlg::chooseNumber(QComboBox *comboBox, QSlider *slider, int value)
{
    comboBox->setCurrentIndex(choiceNumberIndex);
    slider->setValue(value);
}

void VistrelDimmingDlg::showInvalidValue(Signal _signal)
{
    QMessageBox::critical(
        this, titleSignalValueError, msgInvalidValue + QStringLiteral(" Signal: ") + signalName(_signal));
}
