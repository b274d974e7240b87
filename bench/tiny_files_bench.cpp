// 100,000 files of 1 to 3 bytes in the page cache, MD5 + SHA1: quorvex and the window's core next
// to rhash, and next to the floor, what the system calls alone cost (the folder listed, then each
// file opened, asked for its status, read and closed, with no digest and no output). The variants take turns in each round;
// each figure is the best of the rounds.
//
//   tiny_files_bench [FOLDER [ROUNDS [QUORVEX]]]
//
// FOLDER (default /tmp/quorvex-tiny-bench) is filled once and kept; ROUNDS defaults to 3.
#include "bench/BenchRounds.h"

#include <atomic>
#include <filesystem>
#include <thread>

#include <dirent.h>
#include <sys/stat.h>

namespace {

constexpr int kFiles = 100000;

void Floor(const std::string& folder, unsigned threads)
{
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        std::abort();
    const int dirFd = ::dirfd(dir);
    std::vector<std::string> names;
    while (const dirent* entry = ::readdir(dir))
        if (entry->d_type == DT_REG)
            names.emplace_back(entry->d_name);
    std::atomic<size_t> next{0};
    const auto work = [&] {
        std::vector<char> buffer(256 * 1024);
        for (size_t i; (i = next.fetch_add(1, std::memory_order_relaxed)) < names.size();) {
            const int fd = ::openat(dirFd, names[i].c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
            if (fd < 0)
                continue;
            struct stat st;
            if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::read(fd, buffer.data(), buffer.size()) < 0)
                std::abort();
            ::close(fd);
        }
    };
    std::vector<std::thread> pool;
    for (unsigned t = 1; t < threads; ++t)
        pool.emplace_back(work);
    work();
    for (std::thread& thread : pool)
        thread.join();
    ::closedir(dir);
}

void PrintRatio(const std::vector<Variant>& variants, size_t ours, size_t theirs)
{
    std::printf("  %-50s %5.2f x %s\n", variants[ours].name.c_str(),
                variants[ours].best.wall / variants[theirs].best.wall, variants[theirs].name.c_str());
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string folder = argc > 1 ? argv[1] : "/tmp/quorvex-tiny-bench";
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 3;
    const std::string quorvex = argc > 3 ? argv[3] : QUORVEX_PROGRAM;
    FillTinyFiles(folder, kFiles);
    Floor(folder, 1);  // into the page cache

    Core window;
    std::vector<Variant> variants{
        {"floor, 1 thread", [&] { Floor(folder, 1); }, false, -1, {}},
        {"floor, 2 threads", [&] { Floor(folder, 2); }, false, -1, {}},
        {"rhash --md5 --sha1 -r",
         [&] {
             RunProcess({"rhash", "--md5", "--sha1", "-r", folder});
         },
         true,
         -1,
         {}},
        {"quorvex -a md5,sha1",
         [&] {
             RunProcess({quorvex, "-a", "md5,sha1", folder});
         },
         true,
         2,
         {}},
        {"quorvex -j 1 -a md5,sha1",
         [&] {
             RunProcess({quorvex, "-j", "1", "-a", "md5,sha1", folder});
         },
         true,
         2,
         {}},
        {"window core: take in the folder",
         [&] {
             window.checker.ClearList();
             window.checker.AddFolder(folder);
         },
         false,
         -1,
         {}},
        {"window core: pass MD5 + SHA1", [&] { window.Pass(kStartUp, 0); }, false, 2, {}},
    };
    RunRounds(variants, rounds);
    std::printf("%d files of 1 to 3 bytes, best of %d rounds, %u hardware threads\n", kFiles, rounds,
                std::max(1u, std::thread::hardware_concurrency()));
    PrintTable(variants, kFiles, "files/s");
    std::printf("against the floor:\n");
    PrintRatio(variants, 3, 1);
    PrintRatio(variants, 4, 0);
    PrintRatio(variants, 6, 1);
    return 0;
}
