// Start-up lookup of the translation catalogue for the user's interface languages.
#pragma once

#include <QLocale>
#include <QStringList>

class QTranslator;

// For each language tag in order, loads ":/i18n/DimmingControl_" + the locale's name
// into the translator and installs it into the application on the first success.
// Returns whether a catalogue was installed; none found is the normal case.
bool installTranslation(QTranslator &translator, const QStringList &uiLanguages = QLocale::system().uiLanguages());
