// A whole pass over one 1 GiB file in the page cache, next to rhash over the same file in the
// same run: the start-up selection (MD5 + SHA1) against `rhash --md5 --sha1`, and every
// algorithm against rhash with all the algorithms it shares with us. Each path and engine is
// also timed alone, to show where the time of a pass goes.
//
//   large_file_pass_bench [file [MiB [rounds]]]    (default: a scratch file, 1024 MiB, 3 rounds)
//
// Each figure is the best of the rounds; the variants take turns within a round, so a busy
// machine slows them alike. Wall time and CPU time (user + system) are both shown.
#include "bench/QuietWindow.h"
#include "checking/Checker.h"
#include "engines/DCPcrypt2.h"
#include "platform/PosixFileSystem.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
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

namespace {

struct Times {
    double wall = std::numeric_limits<double>::max();
    double cpu = std::numeric_limits<double>::max();
};

double Seconds(const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; }

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
    pid_t pid;
    if (posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ) != 0) {
        std::fprintf(stderr, "cannot start %s\n", args[0]);
        std::exit(1);
    }
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "%s failed\n", args[0]);
        std::exit(1);
    }
}

void WriteScratchFile(const std::string& path, int64_t bytes)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (fd < 0)
        std::exit(1);
    std::vector<uint64_t> block(1 << 17);
    uint64_t x = 0x9E3779B97F4A7C15ull;
    for (int64_t left = bytes; left > 0;) {
        for (uint64_t& word : block) {
            x ^= x << 13, x ^= x >> 7, x ^= x << 17;
            word = x;
        }
        const size_t n = static_cast<size_t>(std::min<int64_t>(left, block.size() * 8));
        if (::write(fd, block.data(), n) != static_cast<ssize_t>(n))
            std::exit(1);
        left -= static_cast<int64_t>(n);
    }
    ::close(fd);
}

// Reads the file once so that every variant finds it in the page cache.
void Warm(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY);
    std::vector<char> buffer(1 << 20);
    while (::read(fd, buffer.data(), buffer.size()) > 0) {
    }
    ::close(fd);
}

struct Core {
    Core()
    {
        CreateEngineComponents(owner);
        checker.FillEngineList(owner);
    }
    void Select(const std::vector<HashItem>& items)
    {
        for (const HashItemInfo& info : kHashItems) {
            const bool wanted = std::find(items.begin(), items.end(), info.Item) != items.end();
            if (checker.IsChecked(info.Item) != wanted)
                checker.HashItemClicked(info.Item, wanted);
        }
    }
    QuietWindow window;
    PosixFileSystem files;
    TComponent owner;
    Checker checker{window, files};
};

struct Variant {
    std::string name;
    std::function<void()> run;
    bool process;  // an rhash process, timed from outside
    Times best;
};

}  // namespace

int main(int argc, char** argv)
{
    const int64_t mib = argc > 2 ? std::atoll(argv[2]) : 1024;
    const int rounds = argc > 3 ? std::atoi(argv[3]) : 3;
    std::string path = argc > 1 ? argv[1] : "";
    const bool scratch = path.empty();
    if (scratch) {
        char name[] = "/tmp/quorvex-large-XXXXXX";
        const int fd = ::mkstemp(name);
        ::close(fd);
        path = name;
        WriteScratchFile(path, mib << 20);
    }
    Warm(path);

    Core core;
    core.checker.AddFiles({path});
    auto pass = [&core](std::vector<HashItem> items) {
        return [&core, items] {
            core.Select({});
            core.Select(items);
            core.window.RunPass(core.checker);
        };
    };
    using H = HashItem;
    std::vector<Variant> variants{
        {"Quorvex pass, start-up selection (MD5 + SHA1)", pass({H::MD5, H::SHA1}), false, {}},
        {"rhash --md5 --sha1", [&] { RunProcess({"rhash", "--md5", "--sha1", path}); }, true, {}},
        {"Quorvex pass, all eleven algorithms",
         pass({H::MD5, H::CRC32_FCS32, H::SHA1, H::Haval256, H::MD4, H::RipeMD128, H::RipeMD160, H::SHA256,
               H::SHA384, H::SHA512, H::Tiger192}),
         false, {}},
        {"Quorvex pass, the nine rhash shares", pass({H::MD5, H::CRC32_FCS32, H::SHA1, H::MD4, H::RipeMD160,
                                                      H::SHA256, H::SHA384, H::SHA512, H::Tiger192}),
         false, {}},
        {"rhash, the nine it shares with us",
         [&] {
             RunProcess({"rhash", "--md5", "--crc32", "--sha1", "--md4", "--ripemd160", "--sha256", "--sha384",
                         "--sha512", "--tiger", path});
         },
         true, {}},
    };
    // Where the time goes: each path, and each engine through the engine batch, alone.
    const std::vector<std::pair<const char*, H>> alone{
        {"MD5 file path", H::MD5},        {"CRC-32 file checksum", H::CRC32_FCS32}, {"batch: SHA1", H::SHA1},
        {"batch: Haval256", H::Haval256}, {"batch: MD4", H::MD4},                  {"batch: RipeMD128", H::RipeMD128},
        {"batch: RipeMD160", H::RipeMD160}, {"batch: SHA256", H::SHA256},          {"batch: SHA384", H::SHA384},
        {"batch: SHA512", H::SHA512},     {"batch: Tiger192", H::Tiger192}};
    // What the paths spend on reading alone: the file in 16384-byte reads, no digest.
    variants.push_back({"  alone: reading in 16384-byte blocks", [&path] {
                            PosixFileSystem files;
                            auto file = files.OpenForReading(path);
                            std::vector<uint8_t> block(16384);
                            while (file->Read(block.data(), block.size()) == block.size()) {
                            }
                        },
                        false, {}});
    for (const auto& [name, item] : alone)
        variants.push_back({std::string("  alone: ") + name, pass({item}), false, {}});
    for (const char* option : {"--md5", "--crc32", "--sha1", "--sha256", "--sha512", "--tiger"})
        variants.push_back({std::string("  rhash ") + option, [&path, option] { RunProcess({"rhash", option, path}); },
                            true, {}});

    for (int round = 0; round < rounds; ++round)
        for (Variant& v : variants) {
            const Times t = Measure(v.run, v.process ? RUSAGE_CHILDREN : RUSAGE_SELF);
            v.best.wall = std::min(v.best.wall, t.wall);
            v.best.cpu = std::min(v.best.cpu, t.cpu);
        }

    const double megabytes = static_cast<double>(mib);
    const Times& baseline = variants[1].best;
    std::printf("file: %s, %lld MiB in the page cache; best of %d rounds\n", path.c_str(),
                static_cast<long long>(mib), rounds);
    std::printf("%-48s %9s %9s %10s %12s %12s\n", "variant", "wall s", "cpu s", "MiB/s", "wall/rhash2", "cpu/rhash2");
    for (const Variant& v : variants)
        std::printf("%-48s %9.3f %9.3f %10.0f %12.2f %12.2f\n", v.name.c_str(), v.best.wall, v.best.cpu,
                    megabytes / v.best.wall, v.best.wall / baseline.wall, v.best.cpu / baseline.cpu);
    std::printf("(rhash2 = rhash --md5 --sha1; a pass reads the file up to three times: MD5 path, CRC-32, batch)\n");
    if (scratch)
        ::unlink(path.c_str());
    return 0;
}
