// VistrelDimming: the windowed program that reads and sets the device's dimming signals.
#include "dimming/resources/translation_lookup.h"
#include "dimming/ui/vistrel_dimming_dlg.h"

#include <QApplication>
#include <QTranslator>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    // Lets the desktop tie the window to the program's desktop entry (Wayland has no window
    // class for it).
    QGuiApplication::setDesktopFileName(QStringLiteral("example.vistrel.VistrelDimming"));

    // No catalogue for the user's languages is the normal case; the texts stay as written.
    QTranslator translator;
    installTranslation(translator);

    VistrelDimmingDlg dialog;
    dialog.show();
    return application.exec();
}
