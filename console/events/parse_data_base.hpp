// A parse target: the parser fills the record it derives from in place, and the glue
// forwards every reported value to the target's on_value.
#pragma once

#include <cstdint>

#include "codec/minijson_parser.h"

namespace vistrel {

class parse_data_base : public minijson_parse_data_t {
public:
    // The nesting level whose values the parser reports for this target: 1 for the members
    // of the outermost object, 2 for the members of the objects inside it.
    std::uint64_t depth = 1;

    virtual int on_value(int kind) = 0;
    virtual void finish() {}
    virtual ~parse_data_base() = default;

protected:
    explicit parse_data_base(std::uint64_t report_depth = 1)
        : minijson_parse_data_t{}, depth(report_depth)
    {
    }
    parse_data_base(const parse_data_base&) = default;
    parse_data_base(parse_data_base&&) = default;
    parse_data_base& operator=(const parse_data_base&) = default;
    parse_data_base& operator=(parse_data_base&&) = default;
};

// The parser callback for every parse target: `data` is the record of a parse_data_base.
int report_value(int kind, minijson_parse_data_t* data);

}  // namespace vistrel
