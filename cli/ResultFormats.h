// A hashed file's digests as the lines of the chosen output format. The sum-file lines come from
// the sum-file module, so what the command line writes is what the window's export writes.
#pragma once

#include "cli/CommandLine.h"
#include "hashing/HashingEngine.h"

#include <optional>
#include <string>
#include <string_view>

// What comes before the first file: CSV's header row; nothing for the other formats.
std::string OutputHeader(const CommandLine& options);

// The lines of one file whose digests were computed, named as on the command line. nullopt when
// the format cannot hold the name (SFV has no escapes for a line feed or carriage return).
// For the window's result file, a file that failed has its node too, as in the window: with its
// error lines, or none when it is missing.
std::optional<std::string> OutputRecord(const CommandLine& options, std::string_view name,
                                        const HashResult& result);
