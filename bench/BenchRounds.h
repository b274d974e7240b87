// What the pass benchmarks share: best-of-rounds timing of variants that take turns (so a busy
// machine slows them alike), wall and CPU time, other programs run as processes, a core of the
// window without a screen, and the table.
#pragma once

#include "bench/BenchFiles.h"
#include "bench/QuietWindow.h"
#include "checking/Checker.h"
#include "engines/DCPcrypt2.h"
#include "platform/PosixFileSystem.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

struct Times {
    double wall = std::numeric_limits<double>::max();
    double cpu = std::numeric_limits<double>::max();
};

inline double Seconds(const timeval& t)
{
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
}

inline double CpuOf(int who)
{
    rusage usage{};
    ::getrusage(who, &usage);
    return Seconds(usage.ru_utime) + Seconds(usage.ru_stime);
}

inline Times Measure(const std::function<void()>& run, int who)
{
    const double cpu0 = CpuOf(who);
    const auto start = std::chrono::steady_clock::now();
    run();
    const auto end = std::chrono::steady_clock::now();
    return {std::chrono::duration<double>(end - start).count(), CpuOf(who) - cpu0};
}

inline void RunProcess(const std::vector<std::string>& argv)
{
    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    if (posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ) != 0) {
        std::fprintf(stderr, "cannot run %s\n", args[0]);
        std::exit(1);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    posix_spawn_file_actions_destroy(&actions);
}

using H = HashItem;
inline const std::vector<H> kStartUp{H::MD5, H::SHA1};
inline const std::vector<H> kAll{H::MD5,    H::CRC32_FCS32, H::SHA1,      H::Haval256,
                                 H::MD4,    H::RipeMD128,   H::RipeMD160, H::SHA256,
                                 H::SHA384, H::SHA512,      H::Tiger192};

struct Core {
    Core()
    {
        CreateEngineComponents(owner);
        checker.FillEngineList(owner);
    }
    void Select(const std::vector<H>& items)
    {
        for (const HashItemInfo& info : kHashItems) {
            const bool wanted = std::find(items.begin(), items.end(), info.Item) != items.end();
            if (checker.IsChecked(info.Item) != wanted)
                checker.HashItemClicked(info.Item, wanted);
        }
    }
    // A pass with the items marked (every entry pending again) on that many threads (0: all).
    void Pass(const std::vector<H>& items, unsigned threads)
    {
        Select({});
        Select(items);
        HashingOptions options;
        options.Threads = threads;
        checker.SetHashingOptions(options);
        window.RunPass(checker);
    }
    QuietWindow window;
    PosixFileSystem files;
    TComponent owner;
    Checker checker{window, files};
};

struct Variant {
    std::string name;
    std::function<void()> run;
    bool process;
    int baseline;  // index of the variant the ratio is taken against, -1 none
    Times best;
};

inline void RunRounds(std::vector<Variant>& variants, int rounds)
{
    for (int round = 0; round < rounds; ++round)
        for (Variant& v : variants) {
            const Times t = Measure(v.run, v.process ? RUSAGE_CHILDREN : RUSAGE_SELF);
            v.best.wall = std::min(v.best.wall, t.wall);
            v.best.cpu = std::min(v.best.cpu, t.cpu);
        }
}

inline void PrintTable(const std::vector<Variant>& variants, double units, const char* unitName)
{
    std::printf("%-52s %8s %8s %12s %10s\n", "variant", "wall s", "cpu s", unitName, "ratio");
    for (const Variant& v : variants) {
        std::printf("%-52s %8.3f %8.3f %12.0f", v.name.c_str(), v.best.wall, v.best.cpu, units / v.best.wall);
        if (v.baseline >= 0)
            std::printf(" %10.2f  (wall / %s)",
                        v.best.wall / variants[static_cast<size_t>(v.baseline)].best.wall,
                        variants[static_cast<size_t>(v.baseline)].name.c_str());
        std::printf("\n");
    }
}
