// Fuzzed stored values through the windowed program's request builder. The input names the
// mode and, line by line, any signal number (in range or not) with any raw, physical and textual
// value, each present or absent. A get request must be exactly the list of the signals held; a
// set request must be one line that the reply collector reads back, as a state reply, to the
// representation of each value that the request carries (a number to within the writer's
// rounding). No QCoreApplication is needed.
#include "dimming/engine/reply_parser.h"
#include "dimming/engine/request_builder.h"

#include "codec/minijson_text.h"

#include <QList>
#include <QtGlobal>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

QtMessageHandler defaultHandler = nullptr;

void quietDebug(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type != QtDebugMsg && defaultHandler)
        defaultHandler(type, context, message);
}

// The number of a signal or a raw value: any integer, taken modulo 2^32.
qint32 integerOf(const QByteArray &word)
{
    return static_cast<qint32>(std::strtoll(word.constData(), nullptr, 0));
}

// One stored value: "<signal> [raw <integer>] [physical <number>] [textual <text>]", the number
// as strtod reads it (nan, -inf, 1e999, 0x1p-1074 ...), the text the rest of the line, its
// bytes as they stand.
void addValue(const QByteArray &line, SignalValues &values)
{
    const QList<QByteArray> words = line.split(' ');
    if (words.isEmpty() || words.front().isEmpty())
        return;
    SignalValue value;
    qsizetype offset = words.front().size() + 1;
    for (qsizetype i = 1; i + 1 < words.size(); i += 2) {
        const QByteArray &key = words[i];
        const QByteArray &word = words[i + 1];
        if (key == "textual") {
            value.textual = line.mid(offset + key.size() + 1);
            break;
        }
        if (key == "raw")
            value.raw = integerOf(word);
        else if (key == "physical")
            value.physical = std::strtod(word.constData(), nullptr);
        offset += key.size() + word.size() + 2;
    }
    values.insert_or_assign(static_cast<Signal>(integerOf(words.front())), value);
}

QByteArray getRequest(const SignalValues &values)
{
    QByteArray text("{\"category\":\"CAN\",\"case\":\"get\",\"sort\":\"signal\",\"data\":[");
    for (auto i = values.begin(); i != values.end(); ++i) {
        if (i != values.begin())
            text += ',';
        text += "{\"identifier\":{\"code\":" + QByteArray::number(static_cast<qint32>(i->first)) + "}}";
    }
    return text + "]}\n";
}

// What a set request carries of a value: one representation, textual before physical before
// raw; none for a value without any.
SignalValue carried(const SignalValue &value)
{
    SignalValue result;
    if (value.hasTextual())
        result.textual = value.textual;
    else if (value.hasPhysical())
        result.physical = value.physical;
    else if (value.hasRaw())
        result.raw = value.raw;
    return result;
}

bool carriesSomething(const SignalValue &value)
{
    return value.hasRaw() || value.hasPhysical() || value.hasTextual();
}

// The writer renders a real with at most 52 fraction digits and rounds a run of nines or zeros
// away (1.0000001 is written 1E0), so a number read back is close to the one sent, not always
// the same; subnormal numbers hold too few bits for more than an absolute bound.
bool close(double read, double sent)
{
    if (!std::isfinite(read) || std::signbit(read) != std::signbit(sent))
        return read == sent;
    const double difference = std::fabs(read - sent);
    return difference <= 1e-5 * std::fmax(std::fabs(read), std::fabs(sent)) || difference < 1e-300;
}

QByteArray unescaped(const QByteArray &text)
{
    QByteArray bytes = text;
    const std::size_t length = minijson_unescape(bytes.data(), bytes.constData(), static_cast<size_t>(bytes.size()), 0);
    if (length == static_cast<std::size_t>(-1))
        std::abort();  // the writer's escapes are always well formed
    bytes.truncate(static_cast<qsizetype>(length));
    return bytes;
}

void checkSet(const SignalValues &values, const QByteArray &request)
{
    SignalValues expected;
    bool infinite = false;
    bool codeZero = false;
    for (const auto &[signal, value] : values) {
        if (!carriesSomething(value))
            continue;
        const SignalValue sent = carried(value);
        infinite = infinite || (sent.hasPhysical() && std::isinf(sent.physical));
        codeZero = codeZero || signal == Signal::EMPTY_;
        expected.emplace(signal, sent);
    }
    // An infinite number cannot be written, and nothing is sent.
    if (infinite) {
        if (!request.isEmpty())
            std::abort();
        return;
    }
    const QByteArray head("{\"category\":\"CAN\",\"case\":\"set\",\"sort\":\"signal\",\"data\":[");
    if (!request.startsWith(head) || !request.endsWith("]}\n") || request.count('\n') != 1 || request.contains('\r'))
        std::abort();

    // Read back as the state reply that holds the same items.
    QByteArray reply = request;
    reply.replace(0, head.size(), "{\"category\":\"CAN\",\"case\":\"state\",\"sort\":\"signal\",\"data\":[");
    const ParsedReplies parsed = parseReplies(reply);
    if (!parsed.errors.isEmpty() || parsed.refusals != 0)
        std::abort();
    if (codeZero) {
        // A state reply never names signal 0: the collector drops the reply.
        if (parsed.unreadable != 1 || !parsed.values.isEmpty())
            std::abort();
        return;
    }
    if (parsed.unreadable != 0 || parsed.values.size() != 1 || parsed.values.front().size() != expected.size())
        std::abort();
    for (const auto &[signal, value] : parsed.values.front()) {
        const auto sent = expected.find(signal);
        if (sent == expected.end() || value.raw != sent->second.raw || value.hasPhysical() != sent->second.hasPhysical()
            || (value.hasPhysical() && !close(value.physical, sent->second.physical))
            || unescaped(value.textual) != sent->second.textual)
            std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    defaultHandler = qInstallMessageHandler(quietDebug);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    // A first line "get" asks for the values, anything else sets them; one stored value per
    // further line, a later one for the same signal replacing the earlier.
    const QList<QByteArray> lines =
        QByteArray(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size)).split('\n');
    const RequestMode mode = lines.front() == "get" ? RequestMode::Get : RequestMode::Set;
    SignalValues values;
    for (qsizetype i = 1; i < lines.size(); ++i)
        addValue(lines[i], values);
    const QByteArray request = buildRequest(mode, values);
    if (mode == RequestMode::Get) {
        if (request != getRequest(values))
            std::abort();
    } else {
        checkSet(values, request);
    }
    return 0;
}
