// Taking a whole tree into the window's list: 100,000 files of one byte in 10,000 folders, walked
// on the walk's thread and taken into a check list as the window takes them, next to `find -type
// f | wc -l` on the same tree in the same run, and the memory the list holds per file.
//
//   tree_intake_bench [FOLDER [ROUNDS]]
//
// FOLDER (default /tmp/quorvex-tree-bench) is filled once and kept; ROUNDS defaults to 3.
#include "bench/BenchRounds.h"
#include "checking/CheckList.h"
#include "checking/TreeIntake.h"

#include <filesystem>
#include <thread>

namespace {

constexpr int kFolders = 10000;
constexpr int kFilesPerFolder = 10;

void Fill(const std::string& top)
{
    if (std::filesystem::exists(top + "/complete"))
        return;
    for (int f = 0; f < kFolders; ++f) {
        const std::string folder = top + "/d" + std::to_string(f / 100) + "/e" + std::to_string(f % 100);
        std::filesystem::create_directories(folder);
        for (int i = 0; i < kFilesPerFolder; ++i) {
            const int fd =
                ::open((folder + "/f" + std::to_string(i)).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            if (fd < 0 || ::write(fd, "x", 1) != 1)
                std::abort();
            ::close(fd);
        }
    }
    ::close(::open((top + "/complete").c_str(), O_WRONLY | O_CREAT, 0600));
}

size_t TakeTree(const std::string& top, CheckList& list)
{
    TreeWalk walk({top}, ".");
    for (bool finished = false; !finished;) {
        for (CheckEntry& entry : walk.Take(finished))
            list.Append(std::move(entry));
        if (!finished)
            std::this_thread::sleep_for(std::chrono::milliseconds(40));  // the window takes 25 times a second
    }
    return list.Count();
}

long MaxResidentKiB()
{
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string top = argc > 1 ? argv[1] : "/tmp/quorvex-tree-bench";
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 3;
    Fill(top);
    RunProcess({"find", top, "-type", "f"});  // into the cache

    const long before = MaxResidentKiB();
    size_t taken = 0;
    {
        CheckList list;
        taken = TakeTree(top, list);
    }
    const long after = MaxResidentKiB();
    std::vector<Variant> variants{
        {"find -type f | wc -l",
         [&] {
             RunProcess({"sh", "-c", "find \"$0\" -type f | wc -l", top});
         },
         true,
         -1,
         {}},
        {"the walk taken into a check list",
         [&] {
             CheckList list;
             TakeTree(top, list);
         },
         false,
         0,
         {}},
    };
    RunRounds(variants, rounds);
    std::printf("%zu files in %d folders, best of %d rounds\n", taken, kFolders, rounds);
    PrintTable(variants, static_cast<double>(taken), "files/s");
    std::printf("the list's peak memory: %.0f bytes per file\n",
                static_cast<double>(after - before) * 1024.0 / static_cast<double>(taken));
    return 0;
}
