// What a request asks the device for.
#pragma once

namespace vistrel {

enum class request_kind : int {
    system_information = 0,  // "system", "get", "information"
    upload = 1,              // "user profiles", "set", "upload", profiles with their EDIDs
    download = 2,            // "user profiles", "get", "download", profile numbers
    reset = 3,               // "user profiles", "set", "reset", profile numbers
};

}  // namespace vistrel
