// One calculation pass: every pending entry of the list gets a root node and the lines of the
// checked algorithm paths, then the window is restored and duplicates are coloured.
#pragma once

#include "checking/AlgorithmSelection.h"
#include "checking/CheckList.h"
#include "checking/EngineList.h"
#include "checking/ResultTree.h"
#include "checking/WindowPort.h"
#include "checksums/AlgorithmPath.h"

struct PassParts {
    CheckList& List;
    ResultTree& Tree;
    WindowPort& Window;
    FileAccess& Files;
    const AlgorithmSelection& Selection;
    const EngineList& Engines;
};

// The overall bar counts one step per entry; a list too long for the bar's range fills it.
int OverallBarMaximum(size_t entries);

// Visits the entries that the list holds when the pass starts; entries appended while it lets
// window events run wait for the next pass. The caller keeps a second pass from starting.
void RunCalculationPass(const PassParts& parts);
