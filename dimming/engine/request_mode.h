// The two requests of the dimming protocol.
#pragma once

enum class RequestMode : int {
    Set = 0,  // carries the stored values
    Get = 1,  // asks for the values
};
