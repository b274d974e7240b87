// quorvex -c --audit: after a sum file's own lines, the files below its folder that it does not
// list ("NAME: NEW") and the missing listed files that are there under another name ("OLDNAME:
// MOVED to NEWNAME", in place of "FAILED open or read"), found by walking the folder as -r walks.
#pragma once

#include "checking/FolderAudit.h"
#include "sums/SumLine.h"

#include <cstddef>
#include <string>
#include <unordered_map>
#include <vector>

struct CommandContext;

class CheckAudit {
public:
    // sumFile as given; "-" audits the current folder.
    CheckAudit(CommandContext& context, const std::string& sumFile);

    // Every listed name, as the check takes it.
    void Listed(const std::string& name);
    // A listed file that is not there, once per line that lists it, with the check's reason: its
    // line waits until the walk has told whether it was moved.
    void Missing(const SumLine& line, const std::string& reason);

    // After the last line was checked: walks, hashes the new files when anything is missing,
    // writes the waiting lines of missing files in listing order, then the new files in walk
    // order. Returns the "FAILED open or read" lines it wrote (missing files not moved).
    size_t Finish();

    // The summary lines after the check's own, on standard error.
    void Warnings() const;
    // Something was new or moved, or a folder below could not be read.
    bool FoundAnything() const { return newCount_ > 0 || movedCount_ > 0 || walkFailed_; }

private:
    struct WaitingMissing {
        AuditMissing File;
        std::string Reason;
    };

    std::vector<std::string> Walk();

    CommandContext& context_;
    std::string folder_;
    AuditNames names_;
    std::vector<WaitingMissing> missing_;
    std::unordered_map<std::string, size_t> missingIndex_;
    bool walkFailed_ = false;
    size_t newCount_ = 0;
    size_t movedCount_ = 0;
};

// The current folder, absolute, for comparing names given in different ways; "/" when the
// system cannot tell (a folder removed under the program).
std::string CurrentFolder();
