// VistrelDimming: the windowed program that reads and sets the device's dimming signals.
#include "dimming/resources/translation_lookup.h"
#include "dimming/ui/vistrel_dimming_dlg.h"

#include <QApplication>
#include <QTranslator>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);

    // No catalogue for the user's languages is the normal case; the texts stay as written.
    QTranslator translator;
    installTranslation(translator);

    VistrelDimmingDlg dialog;
    dialog.show();
    return application.exec();
}
