// Gives copies of one file a shared colour group: entries whose last result lines are equal.
#pragma once

#include "checking/CheckList.h"
#include "checking/ResultTree.h"

void ColourDuplicates(CheckList& list, const ResultTree& tree);
