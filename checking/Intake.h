// How files enter the check list: one named file, the files of a folder, a drop of names, and
// the closing step that every intake command ends with.
#pragma once

#include "checking/CheckList.h"
#include "checking/WindowPort.h"

#include <string>
#include <vector>

class FileSystem;

// Files that an intake could not take in, with the system's reason for each.
struct IntakeRefusal {
    std::string Path;
    std::string Reason;
};
struct IntakeReport {
    std::vector<IntakeRefusal> Refused;
    // The message box text: one "Cannot open file "%s". %s" line per refused file.
    std::string ErrorText() const;
};

// The part of a path after its last "/".
std::string CaptionFromPath(const std::string& path);
// The path of an item of a folder: one "/" between them, also when the folder ends in "/".
std::string FolderItemPath(const std::string& folder, const std::string& name);

// Appends entries to a list, reading sizes through the file layer. A file whose size cannot be
// read is left out and listed in the report; the rest of the intake goes on.
class Intake {
public:
    Intake(CheckList& list, FileSystem& files, std::string decimalSeparator);

    void TakeFile(const std::string& path, IntakeReport& report);
    // The regular files directly inside the folder, sizes from the folder listing.
    void TakeFolder(const std::string& folder);
    // An existing folder is taken as a folder, any other name as one file.
    void TakeDropped(const std::string& name, IntakeReport& report);

private:
    CheckList& list_;
    FileSystem& files_;
    std::string decimalSeparator_;
};

// The end of every intake command. While a calculation pass runs the command set and the
// status text belong to the pass, so only the icons are refreshed then.
void IntakeClosingStep(const CheckList& list, WindowPort& window, bool passRunning);
