// The brightness boost bands of RLS_Vorfeldhelligkeit_Boost. A band is sent as its
// position in this table and received by its name.
#pragma once

#include <QString>

#include <array>

extern const std::array<QString, 16> luxBandNames;
