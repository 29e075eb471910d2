// Finds a widget of a window by its object name; a missing widget ends the test run.
#pragma once

#include <QObject>
#include <QString>
#include <QtGlobal>

template <typename T> T *child(const QObject *window, const char *name)
{
    T *found = window->findChild<T *>(QString::fromLatin1(name));
    if (!found)
        qFatal("no widget named %s", name);
    return found;
}
