// The program's one window: port choice, the six dimming signals, presets, Get and Set.
// Every edit is stored in the engine at once; only Get, Set and the presets talk to the device.
#pragma once

#include "dimming/engine/signal.h"
#include "dimming/engine/working_engine.h"

#include <QComboBox>
#include <QDialog>
#include <QSlider>
#include <QSpinBox>
#include <QString>
#include <QStringList>

namespace Ui {
class VistrelDimmingDlg;
}

class VistrelDimmingDlg : public QDialog
{
    Q_OBJECT

public:
    explicit VistrelDimmingDlg(QWidget *parent = nullptr);
    ~VistrelDimmingDlg() override;

    VistrelDimmingDlg(const VistrelDimmingDlg &) = delete;
    VistrelDimmingDlg &operator=(const VistrelDimmingDlg &) = delete;

signals:
    void refreshComPorts();
    void setComPort(QString name);
    void storeValue(Signal _signal, int value);
    void storeValue(Signal _signal, double value);
    void storeValue(Signal _signal, QString value);
    void sendAll();
    void receiveAll();
    void statusChanged(QString test);

private slots:
    void signalDI_KL_58xdChanged(int);
    void signalDI_KL_58xsChanged(int);
    void signalDI_KL_58xtChanged(int);
    void signalLS_Helligkeit_FWChanged(int);
    void signalDI_Display_NachtdesignChanged(bool checked);
    void signalRLS_Vorfeldhelligkeit_BoostChanged(int index);
    void reloadClicked();
    void serialPorChanged(QString text);
    void getClicked();
    void setClicked();
    void setNightMaxClicked();
    void setDayMaxClicked();
    void setInitClicked();
    void setErrorClicked();
    void informComPorts(QStringList portList);
    void informValue(Signal _signal, int raw, double physical, QString textual);
    void informError(WorkingEngine::ErrorCommunication error);
    void informError(Signal _signal, WorkingEngine::ErrorSignal error, QString message);
    void informTimeout();
    void aboutDlgClicked();

private:
    // Disabling starts a busy period that ends at the next answer or after one second;
    // enabling ends it and gives the focus back to the button that started it.
    void enableControls(bool enable, QWidget *focus);
    // "Number" stores the slider's number and unlocks slider and spin box;
    // "Init" and "Fehler" lock them and store the choice text.
    void applyChoice(QSlider *slider, QSpinBox *spinBox, QComboBox *comboBox, Signal _signal);
    // Sets a choice box to "Number" and its slider to the number, in that order.
    void chooseNumber(QComboBox *comboBox, QSlider *slider, int value);
    void showInvalidValue(Signal _signal);

    Ui::VistrelDimmingDlg *ui;
    WorkingEngine engine;
    QWidget *busyFocus;
    bool busy;
    // Counts busy periods, so that the timer of an earlier period cannot end a later one.
    quint64 busyPeriod = 0;
};
