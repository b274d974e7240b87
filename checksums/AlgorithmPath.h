// What an algorithm path of a calculation pass (the MD5 file path, the CRC-32 file checksum, the
// engine batch) needs from the layers above it: the files, the event pump, the current-file bar
// and the current result node. Declared here so the paths see no folder above their own; the
// platform layer implements the files, the checking core the rest.
#pragma once

#include "platform/FileAccess.h"

#include <string>

class PathContext {
public:
    virtual ~PathContext() = default;
    virtual FileAccess& Files() = 0;
    // Lets pending window events run (the window may throttle this by time).
    virtual void LetEventsRun() = 0;
    virtual void SetCurrentBar(int position) = 0;
    virtual void StepCurrentBar() = 0;
    // Appends a result line under the current result node.
    virtual void AppendResultLine(const std::string& text) = 0;
};
