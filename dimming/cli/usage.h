// The usage line printed on standard error for a command line that makes no command, and
// the help text of --help.
#pragma once

#include <QString>

extern const QString usageLine;
extern const QString helpText;
