// The speed of whole calculation passes through the hashing engine, next to rhash in the same
// run: one large file in the page cache with the start-up selection (MD5 + SHA1) and with every
// algorithm, and a folder of 10,000 files of 4 KiB; each with the engine's default threads and
// limited to one thread, to show where the gain comes from. From the one-thread time of each
// algorithm alone it also works out what a machine with eight cores would take.
//
//   pass_speed_bench [MiB [rounds]]    (default: 1024 MiB, 3 rounds)
//
// Each figure is the best of the rounds; the variants take turns within a round, so a busy
// machine slows them alike.
#include "bench/QuietWindow.h"
#include "checking/Checker.h"
#include "checksums/CRC32_FCS32.h"
#include "engines/DCPcrypt2.h"
#include "engines/ShaCompress.h"
#include "platform/PosixFileSystem.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <limits>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

struct Times {
    double wall = std::numeric_limits<double>::max();
    double cpu = std::numeric_limits<double>::max();
};

double Seconds(const timeval& t)
{
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
}

double CpuOf(int who)
{
    rusage usage{};
    ::getrusage(who, &usage);
    return Seconds(usage.ru_utime) + Seconds(usage.ru_stime);
}

Times Measure(const std::function<void()>& run, int who)
{
    const double cpu0 = CpuOf(who);
    const auto start = std::chrono::steady_clock::now();
    run();
    const auto end = std::chrono::steady_clock::now();
    return {std::chrono::duration<double>(end - start).count(), CpuOf(who) - cpu0};
}

void RunProcess(const std::vector<std::string>& argv)
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

void WriteFile(const std::string& path, int64_t bytes, uint32_t seed)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    std::vector<uint32_t> block(1 << 18);
    uint32_t x = seed;
    for (int64_t left = bytes; left > 0;) {
        for (uint32_t& w : block)
            w = x = x * 1664525u + 1013904223u;
        const size_t piece =
            static_cast<size_t>(std::min<int64_t>(left, static_cast<int64_t>(block.size() * 4)));
        if (::write(fd, block.data(), piece) != static_cast<ssize_t>(piece))
            std::abort();
        left -= static_cast<int64_t>(piece);
    }
    ::close(fd);
}

void Warm(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY);
    std::vector<char> buffer(1 << 20);
    while (::read(fd, buffer.data(), buffer.size()) > 0) {
    }
    ::close(fd);
}

using H = HashItem;
const std::vector<H> kStartUp{H::MD5, H::SHA1};
const std::vector<H> kAll{H::MD5,       H::CRC32_FCS32, H::SHA1,   H::Haval256, H::MD4,     H::RipeMD128,
                          H::RipeMD160, H::SHA256,      H::SHA384, H::SHA512,   H::Tiger192};

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

void RunRounds(std::vector<Variant>& variants, int rounds)
{
    for (int round = 0; round < rounds; ++round)
        for (Variant& v : variants) {
            const Times t = Measure(v.run, v.process ? RUSAGE_CHILDREN : RUSAGE_SELF);
            v.best.wall = std::min(v.best.wall, t.wall);
            v.best.cpu = std::min(v.best.cpu, t.cpu);
        }
}

void PrintTable(const std::vector<Variant>& variants, double units, const char* unitName)
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

}  // namespace

int main(int argc, char** argv)
{
    const int64_t mib = argc > 1 ? std::atoll(argv[1]) : 1024;
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 3;
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    std::printf("hardware threads: %u; SHA compressions: %s; CRC-32: %s\n", cores, ShaVariantsInUse().c_str(),
                Crc32VariantInUse());

    char folderName[] = "/tmp/quorvex-speed-XXXXXX";
    if (!::mkdtemp(folderName))
        return 1;
    const std::string folder = folderName;
    const std::string big = folder + "/large.bin";
    WriteFile(big, mib << 20, 1);
    Warm(big);
    const std::string small = folder + "/small";
    std::filesystem::create_directory(small);
    for (int i = 0; i < 10000; ++i)
        WriteFile(small + "/file-" + std::to_string(i) + ".dat", 4096, static_cast<uint32_t>(i + 2));

    Core large;
    large.checker.AddFiles({big});
    const std::string n = std::to_string(cores);
    std::vector<Variant> file{
        {"rhash --md5 --sha1",
         [&] {
             RunProcess({"rhash", "--md5", "--sha1", big});
         },
         true,
         -1,
         {}},
        {"pass MD5 + SHA1, " + n + " threads", [&] { large.Pass(kStartUp, 0); }, false, 0, {}},
        {"pass MD5 + SHA1, 1 thread", [&] { large.Pass(kStartUp, 1); }, false, 0, {}},
        {"rhash, the nine it shares with us",
         [&] {
             RunProcess({"rhash", "--md5", "--crc32", "--sha1", "--md4", "--ripemd160", "--sha256",
                         "--sha384", "--sha512", "--tiger", big});
         },
         true,
         -1,
         {}},
        {"pass all eleven, " + n + " threads", [&] { large.Pass(kAll, 0); }, false, 3, {}},
        {"pass all eleven, 1 thread", [&] { large.Pass(kAll, 1); }, false, 3, {}},
    };
    RunRounds(file, rounds);

    // Each algorithm alone on one thread, once: the bound of a machine with many cores.
    std::vector<Variant> alone;
    for (const HashItemInfo& info : kHashItems)
        alone.push_back({std::string("  alone, 1 thread: ") + std::string(info.Caption),
                         [&large, item = info.Item] { large.Pass({item}, 1); },
                         false,
                         -1,
                         {}});
    RunRounds(alone, 1);

    Core many;
    many.checker.AddFolder(small);
    std::vector<Variant> files{
        {"10,000 files of 4 KiB, MD5 + SHA1, " + n + " threads",
         [&] { many.Pass(kStartUp, 0); },
         false,
         -1,
         {}},
        {"10,000 files of 4 KiB, MD5 + SHA1, 1 thread", [&] { many.Pass(kStartUp, 1); }, false, 0, {}},
    };
    RunRounds(files, rounds);

    std::printf("\none file of %lld MiB in the page cache, best of %d rounds\n", static_cast<long long>(mib),
                rounds);
    PrintTable(file, static_cast<double>(mib), "MiB/s");
    PrintTable(alone, static_cast<double>(mib), "MiB/s");
    double sum = 0, slowest = 0;
    for (const Variant& v : alone) {
        sum += v.best.cpu;
        slowest = std::max(slowest, v.best.cpu);
    }
    std::printf(
        "eight cores, worked out: all eleven take max(slowest alone %.2f s, all alone / 8 = %.2f s) = %.2f s,"
        " %.2f x rhash's nine\n",
        slowest, sum / 8, std::max(slowest, sum / 8), std::max(slowest, sum / 8) / file[3].best.cpu);

    std::printf("\n10,000 files of 4 KiB, best of %d rounds\n", rounds);
    PrintTable(files, 10000, "files/s");

    std::filesystem::remove_all(folder);
    return 0;
}
