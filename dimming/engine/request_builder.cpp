#include "dimming/engine/request_builder.h"

#include "codec/minijson_writer.h"

namespace {

// The state of one request: the output, the values to walk and the current signal's
// value copy (the textual copy keeps its bytes alive while the writer reads them).
struct RequestBuilder
{
    QByteArray output;
    RequestMode mode;
    const SignalValues &values;
    SignalValues::const_iterator next;
    SignalValue current;
};

const minijson_value_t *nextItem(void *context, uint64_t);

// The descriptor templates, patched before each request and item. Requests are built
// on one thread only.
struct RequestTemplate
{
    minijson_member_t code[1] = {minijson_member("code", minijson_integer(0))};
    minijson_member_t value[1] = {minijson_member("", minijson_end())};
    minijson_member_t setItemMembers[2] = {
        minijson_member("identifier", minijson_object_n(code, 1)),
        minijson_member("value", minijson_object_n(value, 1)),
    };
    minijson_member_t getItemMembers[1] = {
        minijson_member("identifier", minijson_object_n(code, 1)),
    };
    minijson_value_t setItem = minijson_object_n(setItemMembers, 2);
    minijson_value_t getItem = minijson_object_n(getItemMembers, 1);
    minijson_value_t data[2] = {minijson_generated(nextItem, 0), minijson_end()};
    minijson_member_t request[4] = {
        minijson_member("category", minijson_string("CAN")),
        minijson_member("case", minijson_string("get")),
        minijson_member("sort", minijson_string("signal")),
        minijson_member("data", minijson_array(data)),
    };
    minijson_value_t root = minijson_object_n(request, 4);
};

RequestTemplate requestTemplate;

const minijson_value_t *nextItem(void *context, uint64_t)
{
    auto &builder = *static_cast<RequestBuilder *>(context);
    RequestTemplate &t = requestTemplate;
    while (builder.next != builder.values.end()) {
        const auto &[signal, value] = *builder.next++;
        t.code[0].value.value.integer = static_cast<qint32>(signal);
        if (builder.mode == RequestMode::Get)
            return &t.getItem;
        // A signal that holds no value at all has nothing to set and is left out.
        if (!value.hasRaw() && !value.hasPhysical() && !value.hasTextual())
            continue;

        // Later representations take precedence: textual over physical over raw.
        builder.current = value;
        minijson_member_t &member = t.value[0];
        if (value.hasRaw())
            member = minijson_member("raw", minijson_integer(value.raw));
        if (value.hasPhysical())
            member = minijson_member("physical", minijson_real(value.physical));
        if (value.hasTextual()) {
            const QByteArray &text = builder.current.textual;
            member =
                minijson_member("textual", minijson_string_n(text.constData(), static_cast<uint32_t>(text.size())));
        }
        return &t.setItem;
    }
    return nullptr;
}

int appendToOutput(void *context, const void *bytes, size_t length)
{
    if (bytes == nullptr)
        return 0;  // end or abort of the text
    auto &builder = *static_cast<RequestBuilder *>(context);
    if (length == static_cast<size_t>(-1))
        builder.output.append(static_cast<const char *>(bytes));
    else
        builder.output.append(static_cast<const char *>(bytes), static_cast<qsizetype>(length));
    return 0;
}

}  // namespace

QByteArray buildRequest(RequestMode mode, const SignalValues &values)
{
    RequestBuilder builder {QByteArray(), mode, values, values.begin(), SignalValue()};
    requestTemplate.request[1].value.value.text = mode == RequestMode::Set ? "set" : "get";
    if (minijson_write(&builder, appendToOutput, MINIJSON_WRITE_LINE, &requestTemplate.root) != 0)
        return QByteArray();
    return builder.output;
}
