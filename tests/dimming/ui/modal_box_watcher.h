// Records every message box that opens while it watches, and closes it, so that a test
// never blocks on a modal box. Other modal windows are left to the test.
#pragma once

#include <QList>
#include <QMessageBox>
#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>

struct ShownBox
{
    QString title;
    QString text;
    QMessageBox::Icon icon;
    QWidget *parent;
    QString snapshot;  // what the snapshot function gave when the box showed
};

class ModalBoxWatcher : public QObject
{
    Q_OBJECT

public:
    ModalBoxWatcher();

    const QList<ShownBox> &boxes() const { return shown; }
    void clear() { shown.clear(); }
    // Called when a box shows, to note the state of the window behind it.
    void setSnapshot(std::function<QString()> take) { snapshot = std::move(take); }

private:
    void closeActiveBox();

    QTimer poll;
    QList<ShownBox> shown;
    std::function<QString()> snapshot;
};
