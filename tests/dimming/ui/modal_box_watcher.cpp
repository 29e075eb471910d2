#include "tests/dimming/ui/modal_box_watcher.h"

#include <QApplication>

ModalBoxWatcher::ModalBoxWatcher()
{
    poll.setInterval(5);
    connect(&poll, &QTimer::timeout, this, &ModalBoxWatcher::closeActiveBox);
    poll.start();
}

void ModalBoxWatcher::closeActiveBox()
{
    auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
    if (!box || !box->isVisible())
        return;
    shown.append(
        {box->windowTitle(), box->text(), box->icon(), box->parentWidget(), snapshot ? snapshot() : QString()});
    box->done(QMessageBox::Ok);
}
