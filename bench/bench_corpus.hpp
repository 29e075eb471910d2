// The texts the codec is measured on.
#pragma once

#include <string>
#include <vector>

// Device replies, one JSON text each without its line end: a profile
// download reply with eight 256-byte EDIDs, a system information reply and
// CAN state replies of six signals.
std::vector<std::string> device_replies();

// One generic document of about 1 MB: objects, arrays, strings with
// escapes, integers and reals.
std::vector<std::string> generic_document();
