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
#include "bench/BenchRounds.h"
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
