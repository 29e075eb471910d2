// Fuzzed bytes as received from the device, through the windowed program's reply collector.
// Every line is read on its own: the whole text must yield what its lines yield one by one,
// in the same order. No QCoreApplication is needed: the collector only parses.
#include "dimming/engine/reply_parser.h"

#include <QtGlobal>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

QtMessageHandler defaultHandler = nullptr;

// The collector's debug lines are expected; anything else still goes to standard error.
void quietDebug(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type != QtDebugMsg && defaultHandler)
        defaultHandler(type, context, message);
}

bool sameNumber(double a, double b)
{
    return (qIsNaN(a) && qIsNaN(b)) || std::memcmp(&a, &b, sizeof a) == 0;
}

bool sameValues(const SignalValues &a, const SignalValues &b)
{
    if (a.size() != b.size())
        return false;
    for (auto i = a.begin(), j = b.begin(); i != a.end(); ++i, ++j) {
        if (i->first != j->first || i->second.raw != j->second.raw
            || !sameNumber(i->second.physical, j->second.physical) || i->second.textual != j->second.textual)
            return false;
    }
    return true;
}

bool sameErrors(const SignalErrors &a, const SignalErrors &b)
{
    if (a.size() != b.size())
        return false;
    for (auto i = a.begin(), j = b.begin(); i != a.end(); ++i, ++j) {
        if (i->first != j->first || i->second.number != j->second.number || i->second.message != j->second.message)
            return false;
    }
    return true;
}

void append(ParsedReplies &to, const ParsedReplies &from)
{
    to.values.append(from.values);
    to.errors.append(from.errors);
    to.refusals += from.refusals;
    to.unreadable += from.unreadable;
}

bool sameReplies(const ParsedReplies &a, const ParsedReplies &b)
{
    if (a.values.size() != b.values.size() || a.errors.size() != b.errors.size() || a.refusals != b.refusals
        || a.unreadable != b.unreadable)
        return false;
    for (qsizetype i = 0; i < a.values.size(); ++i) {
        if (!sameValues(a.values[i], b.values[i]))
            return false;
    }
    for (qsizetype i = 0; i < a.errors.size(); ++i) {
        if (!sameErrors(a.errors[i], b.errors[i]))
            return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    defaultHandler = qInstallMessageHandler(quietDebug);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray received(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const ParsedReplies whole = parseReplies(received);

    ParsedReplies lineByLine;
    qsizetype start = 0;
    while (start < received.size()) {
        const qsizetype lineEnd = received.indexOf('\n', start);
        const qsizetype next = lineEnd < 0 ? received.size() : lineEnd + 1;
        append(lineByLine, parseReplies(received.mid(start, next - start)));
        start = next;
    }
    if (!sameReplies(whole, lineByLine))
        std::abort();

    // A line yields at most one answer per JSON text in it, so never more than its bytes.
    const qsizetype answers = whole.values.size() + whole.errors.size() + whole.refusals + whole.unreadable;
    if (answers > received.size())
        std::abort();
    return 0;
}
