#include "console/cli/profile_commands.hpp"

#include "console/cli/edid_file.hpp"
#include "console/events/command_context.hpp"
#include "console/link/exchange.hpp"
#include "console/link/failure_report.hpp"
#include "contract/device_contract.hpp"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <limits>
#include <stdexcept>
#include <string_view>

namespace vistrel {
namespace {

// Why a word is no profile number, in the words of std::stoi and of the range check.
enum class number_refusal { none, no_digits, outside_int, outside_profile_ids };

// Reads `word` as std::stoi does (std::strtol in base 10, then the int range), and checks
// the range of profile numbers.
number_refusal read_profile_number(const char* word, profile_id_t& number)
{
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(word, &end, 10);
    if (end == word) {
        return number_refusal::no_digits;
    }
    if (errno == ERANGE || value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max()) {
        return number_refusal::outside_int;
    }
    if (value < 0 || value > std::numeric_limits<profile_id_t>::max()) {
        return number_refusal::outside_profile_ids;
    }
    number = static_cast<profile_id_t>(value);
    return number_refusal::none;
}

[[noreturn]] void throw_refusal(number_refusal refusal)
{
    if (refusal == number_refusal::no_digits) {
        throw std::invalid_argument("invalid stoi argument");
    }
    if (refusal == number_refusal::outside_int) {
        throw std::out_of_range("stoi argument out of range");
    }
    throw std::out_of_range("profile id");
}

std::vector<profile_id_t> all_slots()
{
    std::vector<profile_id_t> numbers;
    for (int slot = 0; slot < contract::profile_slot_count; ++slot) {
        numbers.push_back(static_cast<profile_id_t>(slot));
    }
    return numbers;
}

constexpr std::size_t table_inner_width = 97;  // between the outer bars of the 99-character frame

const std::string frame_line = "+" + std::string(table_inner_width, '-') + "+";
const std::string separator_line = "|" + std::string(table_inner_width, '-') + "|";

std::string title_line()
{
    std::string line = "| Available profiles:";
    line.resize(table_inner_width + 1, ' ');
    return line + "|";
}

// Reads the uploaded slots back and names every slot that does not hold its file's bytes.
// The read-back waits as a download does, for at least the default time-out, since an upload
// may have been given none.
void verify_upload(const std::vector<uploaded_slot>& slots)
{
    if (slots.empty()) {
        return;
    }
    std::vector<profile_id_t> numbers;
    for (const uploaded_slot& slot : slots) {
        numbers.push_back(slot.number);
    }
    if (current_command_context != nullptr) {
        current_command_context->timeout =
            std::max<std::int64_t>(current_command_context->timeout, contract::console_default_timeout.count());
    }
    const std::vector<read_back_failure> failures = check_read_back(slots, download_profiles(numbers));
    for (const read_back_failure& failure : failures) {
        std::cerr << read_back_failure_text(failure) << std::endl;
    }
    if (!failures.empty()) {
        throw failure_reported{};  // the slots are named above
    }
}

}  // namespace

void run_upload(arg_cursor& cursor, arg_vector args)
{
    std::vector<profile_id_t> numbers;
    std::vector<profile> records;
    std::vector<std::string> file_names;
    while (cursor < 0 && parse_profile_number(cursor, args, numbers)) {
        profile record;
        record.id = numbers.back();
        file_names.push_back(take_file_name(cursor, args, missing_file_name_for(record.id)));
        read_edid_file(file_names.back(), record);
        records.push_back(record);
    }
    upload_profiles(records);
    if (command_settings().verify) {
        verify_upload(slots_of_upload(records, file_names));
    }
}

void run_download(arg_cursor& cursor, arg_vector args)
{
    std::vector<profile_id_t> numbers;
    std::vector<download_target> targets;
    while (cursor < 0 && parse_profile_number(cursor, args, numbers)) {
        const profile_id_t number = numbers.back();
        targets.push_back({number, take_file_name(cursor, args, missing_file_name_for(number))});
    }

    const std::vector<profile> records = download_profiles(numbers);
    const download_pairing pairing = pair_downloads(targets, records);

    for (const auto& match : pairing.saved) {
        write_edid_file(targets[match.target].file_name, records[match.record]);
    }
    for (const auto& match : pairing.saved) {
        std::cout << "Profile " << static_cast<unsigned>(records[match.record].id)
                  << " successfully downloaded and saved to file \"" << targets[match.target].file_name << "\"."
                  << std::endl;
    }
    for (const std::size_t target : pairing.missing) {
        std::cerr << "Profile " << static_cast<unsigned>(targets[target].number) << " was not returned by the device."
                  << std::endl;
    }
    if (!pairing.unrequested.empty()) {
        const unsigned number = records[pairing.unrequested.front()].id;
        throw std::runtime_error("Profile " + std::to_string(number)
                                 + " was returned by the device without a file name to save it to.");
    }
    if (!pairing.missing.empty()) {
        throw failure_reported{};  // the missing slots are named above
    }
}

void run_reset(arg_cursor& cursor, arg_vector args)
{
    std::vector<profile_id_t> numbers;
    if (cursor < 0 && std::string_view(args[cursor]) == "all") {
        ++cursor;
        numbers = all_slots();
    } else {
        while (cursor < 0 && parse_profile_number(cursor, args, numbers)) {
        }
    }
    reset_profiles(numbers);
}

void run_list(arg_cursor& /*cursor*/, arg_vector /*args*/)
{
    const std::vector<profile> records = download_profiles(all_slots());
    if (records.empty()) {
        return;
    }
    if (current_command_context != nullptr) {
        current_command_context->show_data_string = 1;
    }

    std::cout << frame_line << std::endl;
    std::cout << title_line() << '\n';
    std::cout << separator_line << std::endl;
    std::cout << "| profile slot | resolution   | screen size | part number   | data string     "
                 "| ECU     | CAN BUS |"
              << std::endl;
    std::cout << separator_line << std::endl;
    for (const profile& record : records) {
        std::cout << "|      " << static_cast<unsigned>(record.id) << "       | "
                  << format_profile_row(record.edid, false) << " |" << std::endl;
    }
    std::cout << frame_line << std::endl;
}

bool parse_profile_number(arg_cursor& cursor, arg_vector args, std::vector<profile_id_t>& numbers)
{
    if (cursor >= 0) {
        return false;
    }
    profile_id_t number = 0;
    const number_refusal refusal = read_profile_number(args[cursor], number);
    if (refusal != number_refusal::none) {
        if (numbers.empty()) {
            throw_refusal(refusal);
        }
        return false;
    }
    numbers.push_back(number);
    ++cursor;
    return true;
}

std::string take_file_name(arg_cursor& cursor, arg_vector args, const std::string& missing_text)
{
    if (cursor >= 0) {
        throw std::runtime_error(missing_text);
    }
    std::string name = args[cursor];
    ++cursor;
    return name;
}

std::string missing_file_name_for(unsigned number)
{
    return "missing file name for profile " + std::to_string(number);
}

download_pairing pair_downloads(const std::vector<download_target>& targets, const std::vector<profile>& records)
{
    download_pairing pairing;
    std::vector<bool> served(targets.size(), false);
    for (std::size_t record = 0; record < records.size(); ++record) {
        bool paired = false;
        for (std::size_t target = 0; target < targets.size() && !paired; ++target) {
            if (!served[target] && targets[target].number == records[record].id) {
                served[target] = true;
                pairing.saved.push_back({record, target});
                paired = true;
            }
        }
        if (!paired) {
            pairing.unrequested.push_back(record);
        }
    }
    for (std::size_t target = 0; target < targets.size(); ++target) {
        if (!served[target]) {
            pairing.missing.push_back(target);
        }
    }
    return pairing;
}

std::vector<uploaded_slot> slots_of_upload(const std::vector<profile>& records,
                                           const std::vector<std::string>& file_names)
{
    std::vector<uploaded_slot> slots;
    for (std::size_t i = 0; i < records.size() && i < file_names.size(); ++i) {
        const auto same_number = [&](const uploaded_slot& slot) { return slot.number == records[i].id; };
        const auto known = std::find_if(slots.begin(), slots.end(), same_number);
        if (known == slots.end()) {
            slots.push_back({records[i].id, file_names[i], records[i]});
        } else {
            known->file_name = file_names[i];
            known->sent = records[i];
        }
    }
    return slots;
}

std::vector<read_back_failure> check_read_back(const std::vector<uploaded_slot>& slots,
                                               const std::vector<profile>& returned)
{
    std::vector<read_back_failure> failures;
    for (const uploaded_slot& slot : slots) {
        bool found = false;
        bool differs = false;
        for (const profile& record : returned) {
            if (record.id != slot.number) {
                continue;
            }
            found = true;
            differs = differs || record.edid_size != slot.sent.edid_size
                || !std::equal(record.edid.begin(), record.edid.begin() + record.edid_size, slot.sent.edid.begin());
        }
        if (!found || differs) {
            failures.push_back({found ? read_back_failure::kind::differs : read_back_failure::kind::not_returned,
                                slot.number, slot.file_name});
        }
    }
    return failures;
}

std::string read_back_failure_text(const read_back_failure& failure)
{
    const std::string number = std::to_string(static_cast<unsigned>(failure.number));
    if (failure.what == read_back_failure::kind::differs) {
        return "Profile " + number + " read back from the device differs from file \"" + failure.file_name + "\".";
    }
    return "Profile " + number + " was not read back from the device after the upload of file \"" + failure.file_name
        + "\".";
}

}  // namespace vistrel
