// What the commands of the window may do while a calculation pass runs, decided in one place:
// nothing may remove entries, clear the tree, change the selection, import a sum file or start a
// second pass, an intake (a drop) appends entries that wait for the next pass, and only a running
// pass can be stopped.
#pragma once

enum class PassCommand {
    Calculate,
    Stop,
    Intake,         // open file, open folder, a drop
    ImportSumFile,  // replaces the selection and makes every entry pending
    DeleteEntry,
    ClearList,
    SelectAlgorithm,  // an item of the algorithm menu
};

class PassGuard {
public:
    bool Running() const { return running_; }
    void Begin() { running_ = true; }
    void End() { running_ = false; }
    // A tree intake walking: like a pass, it owns the command set, and nothing may change the
    // list under it; it can be stopped, but it is no pass.
    void BeginWalk() { walking_ = true; }
    void EndWalk() { walking_ = false; }

    bool Allows(PassCommand command) const
    {
        switch (command) {
        case PassCommand::Stop: return running_;
        case PassCommand::Intake: return true;
        case PassCommand::Calculate:
        case PassCommand::ImportSumFile:
        case PassCommand::DeleteEntry:
        case PassCommand::ClearList:
        case PassCommand::SelectAlgorithm: return !running_ && !walking_;
        }
        return false;
    }
    // While a pass runs the command set and the status text belong to it: an intake's closing
    // step then refreshes the icons only.
    bool IntakeMayRestoreCommands() const { return !running_ && !walking_; }

private:
    bool running_ = false;
    bool walking_ = false;
};
