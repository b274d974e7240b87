// A checking core wired as the window wires it: the ten engines, the real file layer behind a
// fault injector, and a recording window that plays the event loop; plus the little helpers the
// pass tests share.
#pragma once

#include "checking/Checker.h"
#include "engines/DCPcrypt2.h"
#include "platform/PosixFileSystem.h"
#include "tests/support/FaultyFileSystem.h"
#include "tests/support/Oracle.h"
#include "tests/support/RecordingWindow.h"
#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <initializer_list>
#include <string>
#include <vector>

class CheckerTestBed : public ::testing::Test {
protected:
    CheckerTestBed()
    {
        // Several threads even on a machine with one: the order of the results is under test.
        HashingOptions options;
        options.Threads = 3;
        checker.SetHashingOptions(options);
        CreateEngineComponents(owner);
        checker.FillEngineList(owner);
    }

    // Clicks menu items until exactly these are checked.
    void SelectOnly(std::initializer_list<HashItem> items)
    {
        for (const HashItemInfo& info : kHashItems) {
            const bool wanted = std::find(items.begin(), items.end(), info.Item) != items.end();
            if (checker.IsChecked(info.Item) != wanted)
                checker.HashItemClicked(info.Item, wanted);
        }
    }
    // Every item, the further digests' included.
    void SelectEvery()
    {
        for (const HashItemInfo& info : kHashItems)
            if (!checker.IsChecked(info.Item))
                checker.HashItemClicked(info.Item, true);
    }
    // The eleven items before the menu's separator.
    void SelectAll()
    {
        for (const HashItemInfo& info : kDescribedHashItems)
            if (!checker.IsChecked(info.Item))
                checker.HashItemClicked(info.Item, true);
    }

    // Runs a pass to its end as the window's event loop does: the user's events (the hook),
    // then the delivery the hashing engine asked for, until the pass has ended.
    void Calculate() { RunPass(checker, window); }
    static void RunPass(Checker& core, RecordingWindow& coreWindow)
    {
        core.Calculate();
        while (core.PassRunning()) {
            coreWindow.AwaitDeliveryRequest();
            coreWindow.LetEventsRun();
            core.DeliverPass();
        }
    }

    // Takes files in through a drop and fails the test if any is refused.
    void Drop(const std::vector<std::string>& paths)
    {
        IntakeReport report = checker.AddDropped(paths);
        ASSERT_TRUE(report.Refused.empty()) << report.ErrorText();
    }

    const std::vector<std::string>& Lines(size_t root) { return checker.Tree().Root(root).Lines; }

    TempDir dir;
    PosixFileSystem posix;
    FaultyFileSystem files{posix};
    RecordingWindow window;
    TComponent owner;
    Checker checker{window, files};
};

inline std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

inline const std::string kErrorSuffix = "：读取文件错误";
