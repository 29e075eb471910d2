// Takes the README's pictures of the windowed program: the main dialog after a Get from the
// port named on the command line (the device simulator's), and the about box.
//   dimming_screenshots PORT OUTPUT_FOLDER
// Writes OUTPUT_FOLDER/dimming-main.png and OUTPUT_FOLDER/dimming-about.png; exits with 1
// when the values do not arrive within five seconds or a picture cannot be written.
#include "dimming/resources/translation_lookup.h"
#include "dimming/ui/about_dialog.h"
#include "dimming/ui/vistrel_dimming_dlg.h"
#include "tests/dimming/ui/widget_lookup.h"

#include <QApplication>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QDir>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QTest>
#include <QTranslator>

#include <cstdio>

namespace {

bool save(QWidget &window, const QString &path)
{
    QApplication::processEvents();
    if (!window.grab().save(path, "PNG")) {
        std::fprintf(stderr, "dimming_screenshots: cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

}  // namespace

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() != 3) {
        std::fprintf(stderr, "usage: dimming_screenshots PORT OUTPUT_FOLDER\n");
        return 1;
    }
    const QString port = arguments.at(1);
    const QDir output(arguments.at(2));

    QTranslator translator;
    installTranslation(translator);

    VistrelDimmingDlg dialog;
    dialog.show();
    if (!QTest::qWaitForWindowExposed(&dialog, 5000)) {
        std::fprintf(stderr, "dimming_screenshots: the dialog did not show\n");
        return 1;
    }

    // What a user does: type the port's path into the port box, then press Get.
    auto *portBox = child<QComboBox>(&dialog, "comboBoxSerialPort");
    portBox->setEditText(port);
    auto *get = child<QPushButton>(&dialog, "pushButtonGet");
    get->click();

    auto *status = child<QLabel>(&dialog, "labelStatusBar");
    const QDeadlineTimer deadline(5000);
    while (status->text() != QStringLiteral("Values have been successfully got.") || !get->isEnabled()) {
        if (deadline.hasExpired()) {
            std::fprintf(stderr, "dimming_screenshots: no values from %s (status: \"%s\")\n", qPrintable(port),
                qPrintable(status->text()));
            return 1;
        }
        QTest::qWait(20);
    }
    if (!save(dialog, output.filePath(QStringLiteral("dimming-main.png"))))
        return 1;

    AboutDialog about(&dialog);
    about.show();
    if (!QTest::qWaitForWindowExposed(&about, 5000)) {
        std::fprintf(stderr, "dimming_screenshots: the about box did not show\n");
        return 1;
    }
    return save(about, output.filePath(QStringLiteral("dimming-about.png"))) ? 0 : 1;
}
