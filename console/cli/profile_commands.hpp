// The handlers of the profile commands (upload, download, reset, list), the reading of
// their words (profile numbers, file names), and which downloaded profile goes into which
// file.
#pragma once

#include "console/cli/registry.hpp"
#include "console/events/profile.hpp"
#include "console/link/request.hpp"

#include <cstddef>
#include <string>
#include <vector>

namespace vistrel {

// profile upload <profile_number> <edid_file> ...: every file is read before anything is
// sent, so a missing or short file sends nothing. Success is silence: nothing is printed.
// With verification on (the command context's `verify`), the uploaded slots are then
// downloaded in one more exchange and compared with their files; each slot that differs or
// does not come back is named on standard error with its file, and fails the command.
void run_upload(arg_cursor& cursor, arg_vector args);

// profile download <profile_number> <filename> ...: saves each returned profile into the
// file named after its slot number. Slots that were asked for and did not come back are
// named on standard error; a profile that no file name was given for is not saved and fails
// the command once the others are saved.
void run_download(arg_cursor& cursor, arg_vector args);

// profile reset (all | <profile_number> ...): "all", or the profile numbers up to the first
// word that is not one. Success is silence.
void run_reset(arg_cursor& cursor, arg_vector args);

// profile list: downloads every slot and prints one table row per returned profile, with the
// data string; prints nothing at all when the device returned no profile.
void run_list(arg_cursor& cursor, arg_vector args);

// Reads the current word like std::stoi (leading blanks, a sign, digits, the rest ignored) and
// accepts 0 to 255. On success appends the number, consumes the word and returns true.
// Otherwise throws while `numbers` is still empty (std::invalid_argument "invalid stoi
// argument", std::out_of_range "stoi argument out of range" or "profile id"), and returns
// false without consuming the word once it holds a number.
bool parse_profile_number(arg_cursor& cursor, arg_vector args, std::vector<profile_id_t>& numbers);

// Returns the current word and consumes it; with no word left raises std::runtime_error with
// `missing_text`.
std::string take_file_name(arg_cursor& cursor, arg_vector args, const std::string& missing_text);

// The text for a profile number that is the last word: "missing file name for profile <n>".
std::string missing_file_name_for(unsigned number);

// One "<profile_number> <filename>" pair of the download command.
struct download_target {
    profile_id_t number = 0;
    std::string file_name;
};

struct download_pairing {
    struct match {
        std::size_t record = 0;  // index into the returned records
        std::size_t target = 0;  // index into the targets
    };
    std::vector<match> saved;  // in the order the records were returned
    std::vector<std::size_t> unrequested;  // records that no target asked for, in returned order
    std::vector<std::size_t> missing;  // targets whose slot did not come back, in asked order
};

// Pairs by slot number, whatever order the device answered in: each returned record goes to
// the first target of its number that has not been served yet. A number asked for twice is
// served by the first two records of that number.
download_pairing pair_downloads(const std::vector<download_target>& targets, const std::vector<profile>& records);

// One slot of a verified upload: its number and the file whose bytes the slot must hold now
// (the last one given for it).
struct uploaded_slot {
    profile_id_t number = 0;
    std::string file_name;
    profile sent;
};

// A slot whose read-back did not hold what was uploaded.
struct read_back_failure {
    enum class kind { not_returned, differs };
    kind what = kind::not_returned;
    profile_id_t number = 0;
    std::string file_name;
};

// The slots of an upload, each once, in the order of their first mention, each with the last
// file given for it.
std::vector<uploaded_slot> slots_of_upload(const std::vector<profile>& records,
                                           const std::vector<std::string>& file_names);
// Compares what the device returned with what was uploaded, slot by slot in the order of
// `slots`: a slot that no returned record has is not returned; one whose returned record (any
// of them, if the device sent it twice) does not hold exactly the uploaded bytes differs.
// Records of slots that were not uploaded are ignored.
std::vector<read_back_failure> check_read_back(const std::vector<uploaded_slot>& slots,
                                               const std::vector<profile>& returned);
// The line that names a failed slot and its file.
std::string read_back_failure_text(const read_back_failure& failure);

}  // namespace vistrel
