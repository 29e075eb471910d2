// Replaces the system's serial port list with given names that carry the device's USB
// identifiers, for as long as the object lives. Counts how often the list was asked for.
#pragma once

#include <QStringList>

#include <memory>

class FakePorts
{
public:
    explicit FakePorts(QStringList names = {});
    ~FakePorts();

    FakePorts(const FakePorts &) = delete;
    FakePorts &operator=(const FakePorts &) = delete;

    void setNames(const QStringList &names) { state->names = names; }
    int requests() const { return state->requests; }

private:
    struct State
    {
        QStringList names;
        int requests = 0;
    };
    std::shared_ptr<State> state;
};
