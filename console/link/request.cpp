#include "console/link/request.hpp"

#include "codec/json_error.hpp"
#include "codec/minijson_writer.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <stdexcept>

namespace vistrel {

namespace {

// The generator's argument: which list "data" is made of.
enum element_kind : std::uint64_t {
    profile_elements = 1,
    profile_id_elements = 2,
};

struct request_texts {
    const char* category;
    const char* event_case;
    const char* sort;
};

request_texts texts_of(request_kind kind)
{
    switch (kind) {
    case request_kind::system_information:
        return {"system", "get", "information"};
    case request_kind::upload:
        return {"user profiles", "set", "upload"};
    case request_kind::download:
        return {"user profiles", "get", "download"};
    case request_kind::reset:
        return {"user profiles", "set", "reset"};
    }
    throw std::logic_error("unknown request kind");
}

// What the writer threads through one write: the output, the caller's list and the
// descriptors of the element being written.
struct request_writer {
    request_bytes* out = nullptr;
    const std::vector<profile>* profiles = nullptr;
    const std::vector<profile_id_t>* numbers = nullptr;
    std::size_t index = 0;
    std::array<minijson_member_t, 2> members{};
    minijson_value_t element{};
};

int append(void* context, const void* data, size_t length)
{
    if (data == nullptr) {
        return 0;  // end or abort of the output
    }
    auto* bytes = static_cast<const unsigned char*>(data);
    request_bytes& out = *static_cast<request_writer*>(context)->out;
    out.insert(out.end(), bytes, bytes + length);
    return 0;
}

const minijson_value_t* next_element(void* context, uint64_t argument)
{
    auto& writer = *static_cast<request_writer*>(context);
    if (argument == profile_elements && writer.profiles != nullptr && writer.index < writer.profiles->size()) {
        const profile& record = (*writer.profiles)[writer.index++];
        const auto size = static_cast<std::uint32_t>(std::min<std::uint64_t>(record.edid_size, record.edid.size()));
        writer.members[0] = minijson_member("profile", minijson_integer(record.id));
        writer.members[1] = minijson_member("edid", minijson_binary(record.edid.data(), size));
        writer.element = minijson_object_n(writer.members.data(), 2);
        return &writer.element;
    }
    if (argument == profile_id_elements && writer.numbers != nullptr && writer.index < writer.numbers->size()) {
        const profile_id_t number = (*writer.numbers)[writer.index++];
        writer.members[0] = minijson_member("profile", minijson_integer(number));
        writer.element = minijson_object_n(writer.members.data(), 1);
        return &writer.element;
    }
    return nullptr;
}

request_bytes write_request(request_kind kind, request_writer& writer, std::uint64_t elements)
{
    const request_texts texts = texts_of(kind);
    const minijson_value_t data_elements[1] = {minijson_generated(next_element, elements)};
    const minijson_member_t members[4] = {
        minijson_member("category", minijson_string(texts.category)),
        minijson_member("case", minijson_string(texts.event_case)),
        minijson_member("sort", minijson_string(texts.sort)),
        minijson_member("data", minijson_array_n(data_elements, 1)),
    };
    const minijson_value_t root = minijson_object_n(members, elements == 0 ? 3 : 4);

    request_bytes bytes;
    writer.out = &bytes;
    const int code = minijson_write(&writer, append, MINIJSON_WRITE_LINE, &root);
    if (code != 0) {
        throw_json_error(" JSON request - ", code);
    }
    return bytes;
}

}  // namespace

request_bytes build_request(request_kind kind)
{
    request_writer writer;
    return write_request(kind, writer, 0);
}

request_bytes build_request(request_kind kind, const std::vector<profile>& profiles)
{
    request_writer writer;
    writer.profiles = &profiles;
    return write_request(kind, writer, profile_elements);
}

request_bytes build_request(request_kind kind, const std::vector<profile_id_t>& numbers)
{
    request_writer writer;
    writer.numbers = &numbers;
    return write_request(kind, writer, profile_id_elements);
}

void print_trace(std::ostream& out, std::string_view label, const unsigned char* bytes, std::size_t count)
{
    out << label << '<';
    out.write(reinterpret_cast<const char*>(bytes), static_cast<std::streamsize>(count));
    out << '>' << std::endl;
}

}  // namespace vistrel
