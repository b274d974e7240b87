// A file name inside a message on standard error, quoted the way coreutils' tools quote it
// ("sha256sum: 'back\slash': No such file or directory"), so that a message names the file
// unambiguously and can be pasted into a shell, and so that scripts that read coreutils'
// messages read ours.
#pragma once

#include <string>
#include <string_view>

// The name as it stands when the shell would take it so; otherwise in single quotes, with
// control characters and bytes that are not printable in the current locale as $'\n' or
// $'\377' pieces, and a name whose only trouble is a single quote in double quotes. A colon
// counts as trouble too, since it separates the parts of a message.
std::string QuotedName(std::string_view name);
