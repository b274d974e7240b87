// The user's private runtime folder, where the running window can be found by the next start.
// Only a folder that belongs to this user and that nobody else may enter is used, so another
// user can neither reach our window nor put a window of theirs in its place.
#pragma once

#include <optional>
#include <string>

// $XDG_RUNTIME_DIR when it is an absolute path to such a folder; otherwise "quorvex-<uid>" in
// the fallback parent (normally /tmp), made with mode 0700 if it is missing and tightened to
// 0700 if it is ours but open to others. Nothing when no such folder can be had; `why` then
// says what was wrong.
std::optional<std::string> PrivateRuntimeFolder(const char* xdgRuntimeDir, const std::string& fallbackParent,
                                                std::string& why);
