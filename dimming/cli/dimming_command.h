// Runs one command line of vistrel-dimming to its end: prints the results on standard output
// and a failure as one line on standard error, and gives the exit status (0 or 1).
#pragma once

#include <QStringList>

int runDimmingCommand(const QStringList &words);
