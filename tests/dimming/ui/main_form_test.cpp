// The main dialog's form: ranges and steps, slider and spin box pairs, tab order,
// size and texts, checked on the real widgets by their object names.
#include "dimming/ui/vistrel_dimming_dlg.h"
#include "tests/dimming/ui/fake_ports.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTest>

#include <memory>

class MainFormTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void sizeAndWindow();
    void texts_data();
    void texts();
    void spinBoxesAcceptTheirRangeOnly_data();
    void spinBoxesAcceptTheirRangeOnly();
    void slidersStepByKeys_data();
    void slidersStepByKeys();
    void sliderAndSpinBoxFollowEachOther_data();
    void sliderAndSpinBoxFollowEachOther();
    void tabOrder();

private:
    template <typename T> T *widget(const char *name) const
    {
        T *found = dialog->findChild<T *>(QString::fromLatin1(name));
        if (!found)
            qFatal("no widget %s", name);
        return found;
    }
    // Unlocks a signal group's slider and spin box by choosing "Number".
    void chooseNumber(const QString &group) const
    {
        widget<QComboBox>(qPrintable("comboBox" + group))->setCurrentIndex(2);
    }

    std::unique_ptr<FakePorts> ports;
    std::unique_ptr<VistrelDimmingDlg> dialog;
};

void MainFormTest::init()
{
    ports = std::make_unique<FakePorts>();
    dialog = std::make_unique<VistrelDimmingDlg>();
}

void MainFormTest::cleanup()
{
    dialog.reset();
    ports.reset();
}

void MainFormTest::sizeAndWindow()
{
    QCOMPARE(dialog->objectName(), QString("VistrelDimmingDlg"));
    QCOMPARE(dialog->size(), QSize(780, 686));
    QVERIFY(!dialog->isSizeGripEnabled());
    QVERIFY(!(dialog->windowFlags() & Qt::WindowContextHelpButtonHint));
    QCOMPARE(dialog->contextMenuPolicy(), Qt::NoContextMenu);
    QCOMPARE(dialog->locale(), QLocale(QLocale::English, QLocale::UnitedStates));
    QVERIFY(!dialog->windowIcon().isNull());
    QVERIFY(widget<QComboBox>("comboBoxSerialPort")->isEditable());
    // Without text, the reload button always shows an icon, from the theme or the style.
    QVERIFY(!widget<QPushButton>("pushButtonReload")->icon().isNull());
    QVERIFY(!widget<QCheckBox>("checkBoxDI_Display_Nachtdesign")->isChecked());
}

void MainFormTest::texts_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");

    const char *const table[][2] = {
        {"groupBoxConnection", "Connection"},
        {"pushButtonReload", ""},
        {"groupBoxHelp", "Help"},
        {"pushButtonAbout", "About"},
        {"groupBoxDimmingControl", "Dimming Control"},
        {"groupBoxShort", "Quick Settings"},
        {"pushButtonSetInit", "Set Init"},
        {"pushButtonSetError", "Set Error"},
        {"pushButtonSetDayMax", "Set Day Max"},
        {"pushButtonSetNightMax", "Set Night Max"},
        {"groupBoxAdvanced", "Detailed Settings"},
        {"label",
            "All signal values are displayed in physical representation and will be rounded "
            "prior to transmission."},
        {"groupBoxDimmung_01", "Dimmung_01"},
        {"labelDI_KL_58xd", "DI_KL_58xd [1]"},
        {"labelDI_KL_58xdMin", "0"},
        {"labelDI_KL_58xdMax", "253"},
        {"labelDI_KL_58xs", "DI_KL_58xs [%]"},
        {"labelDI_KL_58xsMin", "0"},
        {"labelDI_KL_58xsMax", "100"},
        {"labelDI_KL_58xt", "DI_KL_58xt [%]"},
        {"labelDI_KL_58xtMin", "0"},
        {"labelDI_KL_58xtMax", "100"},
        {"labelDI_Display_Nachtdesign", "DI_Display_Nachtdesign"},
        {"checkBoxDI_Display_Nachtdesign", ""},
        {"groupBoxRLS_02", "RLS_02"},
        {"labelLS_Helligkeit_FW", "LS_Helligkeit_FW [lx]"},
        {"labeLS_Helligkeit_FWMin", "0"},
        {"labelLS_Helligkeit_FWMax", "6126"},
        {"labelRLS_Vorfeldhelligkeit_Boost", "RLS_Vorfeldhelligkeit_Boost"},
        {"pushButtonGet", "Get"},
        {"pushButtonSet", "Set"},
        {"labelStatusBar", ""},
    };
    for (const auto &row : table)
        QTest::newRow(row[0]) << QString::fromLatin1(row[0]) << QString::fromUtf8(row[1]);
}

void MainFormTest::texts()
{
    QFETCH(QString, name);
    QFETCH(QString, text);

    QObject *object = dialog->findChild<QObject *>(name);
    QVERIFY2(object, qPrintable(name));
    if (auto *group = qobject_cast<QGroupBox *>(object))
        QCOMPARE(group->title(), text);
    else if (auto *label = qobject_cast<QLabel *>(object))
        QCOMPARE(label->text(), text);
    else if (auto *button = qobject_cast<QAbstractButton *>(object))
        QCOMPARE(button->text(), text);
    else
        QFAIL("unexpected widget kind");
    QCOMPARE(dialog->windowTitle(), QString("Vistrel Dimming Application"));
}

void MainFormTest::spinBoxesAcceptTheirRangeOnly_data()
{
    QTest::addColumn<QString>("group");
    QTest::addColumn<int>("maximum");

    QTest::newRow("DI_KL_58xd") << "DI_KL_58xd" << 253;
    QTest::newRow("DI_KL_58xs") << "DI_KL_58xs" << 100;
    QTest::newRow("DI_KL_58xt") << "DI_KL_58xt" << 100;
    QTest::newRow("LS_Helligkeit_FW") << "LS_Helligkeit_FW" << 6126;
}

void MainFormTest::spinBoxesAcceptTheirRangeOnly()
{
    QFETCH(QString, group);
    QFETCH(int, maximum);
    chooseNumber(group);
    auto *spinBox = widget<QSpinBox>(qPrintable("spinBox" + group));

    spinBox->setValue(maximum + 1);
    QCOMPARE(spinBox->value(), maximum);
    spinBox->setValue(-1);
    QCOMPARE(spinBox->value(), 0);

    // Typed text beyond the range is refused keystroke by keystroke.
    dialog->show();
    QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
    spinBox->setFocus();
    spinBox->selectAll();
    QTest::keyClicks(spinBox, QString::number(maximum) + "9");
    QTest::keyClick(spinBox, Qt::Key_Enter);
    QCOMPARE(spinBox->value(), maximum);
    spinBox->selectAll();
    QTest::keyClicks(spinBox, "-5");
    QTest::keyClick(spinBox, Qt::Key_Enter);
    QCOMPARE(spinBox->value(), 5);
}

void MainFormTest::slidersStepByKeys_data()
{
    QTest::addColumn<QString>("group");
    QTest::addColumn<int>("pageStep");
    QTest::addColumn<int>("singleStep");

    QTest::newRow("DI_KL_58xd") << "DI_KL_58xd" << 10 << 1;
    QTest::newRow("DI_KL_58xs") << "DI_KL_58xs" << 10 << 1;
    QTest::newRow("DI_KL_58xt") << "DI_KL_58xt" << 10 << 1;
    QTest::newRow("LS_Helligkeit_FW") << "LS_Helligkeit_FW" << 96 << 6;
}

void MainFormTest::slidersStepByKeys()
{
    QFETCH(QString, group);
    QFETCH(int, pageStep);
    QFETCH(int, singleStep);
    chooseNumber(group);
    auto *slider = widget<QSlider>(qPrintable("horizontalSlider" + group));
    auto *spinBox = widget<QSpinBox>(qPrintable("spinBox" + group));
    QCOMPARE(slider->orientation(), Qt::Horizontal);

    QTest::keyClick(slider, Qt::Key_PageUp);
    QCOMPARE(slider->value(), pageStep);
    QCOMPARE(spinBox->value(), pageStep);
    QTest::keyClick(slider, Qt::Key_Right);
    QCOMPARE(slider->value(), pageStep + singleStep);
    QCOMPARE(spinBox->value(), pageStep + singleStep);

    // The spin box steps like the slider's arrow keys.
    QTest::keyClick(spinBox, Qt::Key_Up);
    QCOMPARE(spinBox->value(), pageStep + 2 * singleStep);
    QCOMPARE(slider->value(), pageStep + 2 * singleStep);
}

void MainFormTest::sliderAndSpinBoxFollowEachOther_data()
{
    spinBoxesAcceptTheirRangeOnly_data();
}

void MainFormTest::sliderAndSpinBoxFollowEachOther()
{
    QFETCH(QString, group);
    QFETCH(int, maximum);
    chooseNumber(group);
    auto *slider = widget<QSlider>(qPrintable("horizontalSlider" + group));
    auto *spinBox = widget<QSpinBox>(qPrintable("spinBox" + group));
    QCOMPARE(slider->maximum(), maximum);

    spinBox->setValue(maximum / 2);
    QCOMPARE(slider->value(), maximum / 2);
    slider->setValue(maximum);
    QCOMPARE(spinBox->value(), maximum);
    slider->setValue(maximum + 100);
    QCOMPARE(spinBox->value(), maximum);
}

void MainFormTest::tabOrder()
{
    for (const char *group : {"DI_KL_58xd", "DI_KL_58xs", "DI_KL_58xt", "LS_Helligkeit_FW"})
        chooseNumber(QString::fromLatin1(group));
    dialog->show();
    QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
    widget<QComboBox>("comboBoxSerialPort")->setFocus();

    // The editable port box's line edit takes the focus on behalf of the box.
    const auto focusName = [] {
        QWidget *focus = QApplication::focusWidget();
        while (focus && (focus->objectName().isEmpty() || focus->objectName().startsWith("qt_")))
            focus = focus->parentWidget();
        return focus ? focus->objectName() : QString();
    };

    const QStringList expected {"comboBoxSerialPort", "pushButtonReload", "pushButtonAbout", "pushButtonSetInit",
        "pushButtonSetError", "pushButtonSetDayMax", "pushButtonSetNightMax", "horizontalSliderDI_KL_58xd",
        "spinBoxDI_KL_58xd", "comboBoxDI_KL_58xd", "horizontalSliderDI_KL_58xs", "spinBoxDI_KL_58xs",
        "comboBoxDI_KL_58xs", "horizontalSliderDI_KL_58xt", "spinBoxDI_KL_58xt", "comboBoxDI_KL_58xt",
        "horizontalSliderLS_Helligkeit_FW", "spinBoxLS_Helligkeit_FW", "comboBoxLS_Helligkeit_FW",
        "comboBoxRLS_Vorfeldhelligkeit_Boost", "pushButtonGet", "pushButtonSet",
        // Not named in the chain, the check box ends up after it.
        "checkBoxDI_Display_Nachtdesign", "comboBoxSerialPort"};
    QStringList visited {focusName()};
    while (visited.size() < expected.size()) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited.append(focusName());
    }
    QCOMPARE(visited, expected);
}

QTEST_MAIN(MainFormTest)
#include "main_form_test.moc"
