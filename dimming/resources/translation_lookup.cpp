#include "dimming/resources/translation_lookup.h"

#include <QCoreApplication>
#include <QTranslator>

bool installTranslation(QTranslator &translator, const QStringList &uiLanguages)
{
    for (const QString &tag : uiLanguages) {
        const QString baseName = QStringLiteral("DimmingControl_") + QLocale(tag).name();
        if (translator.load(QStringLiteral(":/i18n/") + baseName)) {
            QCoreApplication::installTranslator(&translator);
            return true;
        }
    }
    return false;
}
