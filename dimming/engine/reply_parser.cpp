#include "dimming/engine/reply_parser.h"

#include "codec/minijson_parser.h"

#include <QDebug>

#include <algorithm>
#include <cstring>
#include <limits>
#include <string_view>

namespace {

constexpr uint32_t typeObject = MINIJSON_OBJECT;
constexpr uint32_t typeArray = MINIJSON_ARRAY;
constexpr uint32_t typeString = MINIJSON_STRING;
constexpr uint32_t typeInteger = MINIJSON_INTEGER;
constexpr uint32_t typeReal = MINIJSON_REAL;

// Results of the collector that stop a parse: an item without a code, and anything
// the reply must not hold.
constexpr int resultNoCode = 16;
constexpr int resultUnexpected = 17;

// Which level of which reply the collector is reading.
enum Stage {
    ReplyMembers = 0,
    StateItems = 1,
    ItemMembers = 2,
    IdentifierMembers = 3,
    ValueMembers = 4,
    PhysicalMembers = 5,
    ErrorSortMembers = 6,
    ErrorItems = 7,
    ErrorItemMembers = 8,
};

struct Text
{
    const char *begin = nullptr;
    size_t length = 0;
    bool seen() const { return begin != nullptr; }
};

// The parse record of one reply, with what has been gathered from it so far.
struct ReplyCollector : minijson_parse_data_t
{
    SignalValues values;
    Stage stage = ReplyMembers;
    bool isCan = false;
    bool isJson = false;
    bool isState = false;
    bool isError = false;
    bool isSignal = false;
    Text dataArray;
    Text sortObject;
    Text dataObject;
    Text identifierText;
    Text valueText;
    qint32 code = 0;
    SignalValue current;
    qint32 number = -1;
    QByteArray message;

    void resetReply()
    {
        values.clear();
        isCan = isJson = isState = isError = isSignal = false;
        dataArray = sortObject = dataObject = identifierText = valueText = Text();
        code = 0;
        current = SignalValue();
        number = -1;
        message.clear();
    }
};

int collectReply(int kind, minijson_parse_data_t *data);

std::string_view keyOf(const minijson_parse_data_t &data)
{
    return std::string_view(data.key, data.key_length);
}

const char *textOf(const minijson_parse_data_t &data)
{
    return data.value.text;
}

Text containerOf(const minijson_parse_data_t &data)
{
    return Text {textOf(data), data.length};
}

std::string_view stringOf(const minijson_parse_data_t &data)
{
    return std::string_view(textOf(data), data.length);
}

double numberOf(const minijson_parse_data_t &data)
{
    return data.type == typeReal ? data.value.real : static_cast<double>(data.value.integer);
}

bool isNumber(const minijson_parse_data_t &data)
{
    return data.type == typeInteger || data.type == typeReal;
}

// An integer that a qint32 holds as it stands; a larger one, cut to 32 bits, would name another
// signal or value.
bool isInteger32(const minijson_parse_data_t &data)
{
    return data.type == typeInteger && data.value.integer >= std::numeric_limits<qint32>::min()
        && data.value.integer <= std::numeric_limits<qint32>::max();
}

// Parses a complete text with the collector at the given stage, reporting depth 1.
// The record fields and the stage of the enclosing parse are restored afterwards.
int parseText(
    ReplyCollector &collector, Stage stage, const char *text, size_t length, unsigned flags, size_t *used = nullptr)
{
    const minijson_parse_data_t outer = collector;
    const Stage outerStage = collector.stage;
    collector.stage = stage;

    minijson_parser_t request {};
    request.callback = collectReply;
    request.data = &collector;
    request.depth = 1;
    request.flags = flags;
    request.context = nullptr;
    size_t consumed = length;
    const int result = minijson_parse(text, &consumed, &request);

    static_cast<minijson_parse_data_t &>(collector) = outer;
    collector.stage = outerStage;
    if (used)
        *used = consumed;
    return result;
}

int parseText(ReplyCollector &collector, Stage stage, const Text &text)
{
    return parseText(collector, stage, text.begin, text.length, 0);
}

int readReplyMember(ReplyCollector &c, const minijson_parse_data_t &d)
{
    const std::string_view key = keyOf(d);
    if (key == "category") {
        c.isCan = d.type == typeString && stringOf(d) == "CAN";
        c.isJson = d.type == typeString && stringOf(d) == "JSON";
        return 0;
    }
    if (key == "case") {
        c.isState = d.type == typeString && stringOf(d) == "state";
        c.isError = d.type == typeString && stringOf(d) == "error";
        return 0;
    }
    if (key == "sort") {
        if (d.type == typeObject)
            c.sortObject = containerOf(d);
        else if (d.type == typeString)
            c.isSignal = stringOf(d) == "signal";
        else
            return resultUnexpected;
        return 0;
    }
    if (key == "data") {
        if (d.type == typeObject)
            c.dataObject = containerOf(d);
        else if (d.type == typeArray)
            c.dataArray = containerOf(d);
        else
            return resultUnexpected;
        return 0;
    }
    return resultUnexpected;
}

int readStateItem(ReplyCollector &c, const minijson_parse_data_t &d)
{
    if (d.type != typeObject)
        return resultUnexpected;
    // Every item starts afresh.
    c.code = 0;
    c.current = SignalValue();
    c.identifierText = c.valueText = Text();
    if (const int result = parseText(c, ItemMembers, containerOf(d)))
        return result;
    if (!c.identifierText.seen() || !c.valueText.seen())
        return 0;  // an item without identifier or value is skipped
    if (c.code == 0)
        return resultNoCode;
    c.values.insert_or_assign(static_cast<Signal>(c.code), c.current);
    return 0;
}

int readItemMember(ReplyCollector &c, const minijson_parse_data_t &d)
{
    const std::string_view key = keyOf(d);
    if (d.type != typeObject)
        return resultUnexpected;
    if (key == "identifier") {
        c.identifierText = containerOf(d);
        return parseText(c, IdentifierMembers, c.identifierText);
    }
    if (key == "value") {
        c.valueText = containerOf(d);
        return parseText(c, ValueMembers, c.valueText);
    }
    return resultUnexpected;
}

int readIdentifierMember(ReplyCollector &c, const minijson_parse_data_t &d)
{
    const std::string_view key = keyOf(d);
    if (key == "code" && isInteger32(d)) {
        c.code = static_cast<qint32>(d.value.integer);
        return 0;
    }
    if (key == "name")
        return 0;
    return resultUnexpected;
}

int readValueMember(ReplyCollector &c, const minijson_parse_data_t &d)
{
    const std::string_view key = keyOf(d);
    if (key == "raw" && isInteger32(d)) {
        c.current.raw = static_cast<qint32>(d.value.integer);
        return 0;
    }
    if (key == "physical" && isNumber(d)) {
        c.current.physical = numberOf(d);
        return 0;
    }
    if (key == "physical" && d.type == typeObject)
        return parseText(c, PhysicalMembers, containerOf(d)) ? resultUnexpected : 0;
    if (key == "textual" && d.type == typeString) {
        // Escapes are kept as they arrived.
        c.current.textual = QByteArray(textOf(d), static_cast<qsizetype>(d.length));
        return 0;
    }
    return resultUnexpected;
}

int readPhysicalMember(ReplyCollector &c, const minijson_parse_data_t &d)
{
    const std::string_view key = keyOf(d);
    if (key == "numerical" && isNumber(d)) {
        c.current.physical = numberOf(d);
        return 0;
    }
    if (key == "unit")
        return 0;
    return resultUnexpected;
}

int readErrorSortMember(ReplyCollector &c, const minijson_parse_data_t &d)
{
    const std::string_view key = keyOf(d);
    if (key == "number" && isInteger32(d)) {
        c.number = static_cast<qint32>(d.value.integer);
        return 0;
    }
    if (key == "message" && d.type == typeString) {
        c.message = QByteArray(textOf(d), static_cast<qsizetype>(d.length));
        return 0;
    }
    return resultUnexpected;
}

int readErrorItemMember(ReplyCollector &c, const minijson_parse_data_t &d)
{
    // The first item with a nonzero code names the signal.
    if (c.code != 0)
        return 0;
    if (keyOf(d) == "identifier" && d.type == typeObject)
        return parseText(c, IdentifierMembers, containerOf(d));
    return resultUnexpected;
}

int collectReply(int kind, minijson_parse_data_t *data)
{
    auto &c = *static_cast<ReplyCollector *>(data);
    const minijson_parse_data_t &d = *data;
    const bool member = kind == MINIJSON_KIND_MEMBER;
    const bool element = kind == MINIJSON_KIND_ELEMENT;
    switch (c.stage) {
    case ReplyMembers:
        return member ? readReplyMember(c, d) : resultUnexpected;
    case StateItems:
        return element ? readStateItem(c, d) : resultUnexpected;
    case ItemMembers:
        return member ? readItemMember(c, d) : resultUnexpected;
    case IdentifierMembers:
        return member ? readIdentifierMember(c, d) : resultUnexpected;
    case ValueMembers:
        return member ? readValueMember(c, d) : resultUnexpected;
    case PhysicalMembers:
        return member ? readPhysicalMember(c, d) : resultUnexpected;
    case ErrorSortMembers:
        return member ? readErrorSortMember(c, d) : resultUnexpected;
    case ErrorItems:
        if (!element || d.type != typeObject)
            return resultUnexpected;
        return parseText(c, ErrorItemMembers, containerOf(d));
    case ErrorItemMembers:
        return member ? readErrorItemMember(c, d) : resultUnexpected;
    }
    return resultUnexpected;
}

// Takes what one parsed reply line holds into the result lists.
void takeReply(ReplyCollector &c, ParsedReplies &replies)
{
    if (c.isJson) {
        // The device could not read the request.
        if (c.isError)
            ++replies.refusals;
        return;
    }
    if (!c.isCan)
        return;
    if (c.isState && c.isSignal && c.dataArray.seen()) {
        if (const int result = parseText(c, StateItems, c.dataArray)) {
            qDebug() << "parsing data failed:" << result;
            ++replies.unreadable;
        } else {
            replies.values.append(c.values);
        }
    } else if (c.isError) {
        if (c.sortObject.seen() && c.dataArray.seen() && parseText(c, ErrorSortMembers, c.sortObject) == 0
            && parseText(c, ErrorItems, c.dataArray) == 0 && c.code != 0)
            replies.errors.append(SignalErrors {{static_cast<Signal>(c.code), {c.number, c.message}}});
        else
            ++replies.refusals;  // an error for no signal refuses the request as a whole
    }
}

}  // namespace

ParsedReplies parseReplies(const QByteArray &received)
{
    ParsedReplies replies;
    ReplyCollector collector {};
    const char *const begin = received.constData();
    const auto size = static_cast<size_t>(received.size());
    size_t start = 0;
    while (start < size) {
        size_t used = 0;
        const int result = parseText(collector, ReplyMembers, begin + start, size - start, MINIJSON_PARSE_LINE, &used);
        if (result != 0) {
            qDebug() << "parsing whole failed:" << result;
            ++replies.unreadable;
            // Go on after the next line end at or after the place where the parse stopped.
            const size_t from = start + std::min(used, size - start);
            const void *lineEnd = std::memchr(begin + from, '\n', size - from);
            collector.resetReply();
            if (lineEnd == nullptr)
                break;
            start = static_cast<size_t>(static_cast<const char *>(lineEnd) - begin) + 1;
            continue;
        }
        takeReply(collector, replies);
        collector.resetReply();
        // A parse always takes at least one byte, so that a stuck parser cannot hang the loop.
        start += std::max<size_t>(used, 1);
    }
    return replies;
}
