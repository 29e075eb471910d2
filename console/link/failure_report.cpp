#include "console/link/failure_report.hpp"

#include "console/events/json_event_profiles.hpp"
#include "console/events/json_event_sysinfo.hpp"

#include <boost/system/system_error.hpp>

#include <cctype>
#include <iostream>
#include <stdexcept>

namespace vistrel {

namespace {

bool is_blank(unsigned char byte)
{
    return std::isspace(byte) != 0;
}

// Prints the line for the exception in flight, rethrown here to tell its kind; Event is the
// exchange's own reply event.
template <typename Event>
[[noreturn]] void report_failure(const request_bytes& request, category_code category)
{
    std::ostream& out = std::cerr;
    try {
        throw;
    } catch (const Event& event) {
        out << "error in ";
        print_request(out, request);
        out << " - ";
        print_event(out, event, category);
        out << std::endl;
    } catch (const json_event_json_error& error) {
        print_request(out, request);
        out << " - ";
        print_json_error(out, error);
        out << std::endl;
    } catch (const boost::system::system_error& error) {
        // Before std::runtime_error, from which it derives.
        out << "boost::system::system_error - " << error.code().to_string() << '/' << error.what() << std::endl;
    } catch (const std::logic_error& error) {
        out << "std::logic_error - " << error.what() << std::endl;
    } catch (const std::runtime_error& error) {
        out << "std::runtime_error - " << error.what() << std::endl;
    } catch (const std::exception& error) {
        out << "std::exception - " << error.what() << std::endl;
    } catch (...) {
        out << "unknown exception" << std::endl;
        throw;
    }
    throw failure_reported{};
}

}  // namespace

void print_request(std::ostream& out, const request_bytes& request)
{
    auto first = request.begin();
    auto last = request.end();
    while (first != last && is_blank(*first)) {
        ++first;
    }
    while (last != first && is_blank(*(last - 1))) {
        --last;
    }
    out << "JSON <";
    out.write(reinterpret_cast<const char*>(request.data() + (first - request.begin())), last - first);
    out << '>';
}

std::string code_text(std::int32_t number, category_code category)
{
    if (number == -1) {
        return {};
    }
    const auto bits = static_cast<std::uint32_t>(number);
    if (((bits >> 8) & 0xFFU) == static_cast<std::uint32_t>(category)) {
        return "(" + std::to_string(bits & 0xFFU) + ")";
    }
    return "(" + std::to_string(bits) + ")";
}

void print_event(std::ostream& out, case_code event_case, const std::string& text, std::int32_t number,
                 category_code category)
{
    out << '[' << category_display_name(category) << '/' << case_display_name(event_case) << " - " << text << ' '
        << code_text(number, category) << ']';
}

void print_json_error(std::ostream& out, const json_event_json_error& error)
{
    out << "JSON error <" << error.text << "> at position " << error.position;
}

void report_system_failure(const request_bytes& request)
{
    report_failure<json_event_sysinfo>(request, category_code::system);
}

void report_profile_failure(const request_bytes& request)
{
    report_failure<json_event_profiles>(request, category_code::user_profiles);
}

}  // namespace vistrel
