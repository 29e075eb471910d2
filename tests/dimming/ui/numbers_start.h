// Puts the main dialog in the "numbers" start state that the preset tests begin from:
// every choice at "Number" with sliders 5, 0, 7, 12, night design checked, band 3.
#pragma once

#include "tests/dimming/ui/widget_lookup.h"

#include <QCheckBox>
#include <QComboBox>
#include <QSlider>
#include <QString>

#include <utility>

inline void setEveryChoiceToNumbers(const QObject *dialog)
{
    const std::pair<const char *, int> groups[] = {
        {"DI_KL_58xd", 5}, {"DI_KL_58xs", 0}, {"DI_KL_58xt", 7}, {"LS_Helligkeit_FW", 12}};
    for (const auto &[group, value] : groups) {
        child<QComboBox>(dialog, qPrintable(QString("comboBox") + group))->setCurrentIndex(2);
        child<QSlider>(dialog, qPrintable(QString("horizontalSlider") + group))->setValue(value);
    }
    child<QCheckBox>(dialog, "checkBoxDI_Display_Nachtdesign")->click();
    child<QComboBox>(dialog, "comboBoxRLS_Vorfeldhelligkeit_Boost")->setCurrentIndex(3);
}
