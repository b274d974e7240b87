// The caption of every message box the program shows.
#pragma once

inline constexpr const char* kApplicationTitle = "Quorvex";
