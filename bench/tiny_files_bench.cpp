// 100,000 files of 1 to 3 bytes in the page cache, MD5 + SHA1: quorvex and the window's core next
// to rhash, and next to the floor, what the system calls alone cost (the folder listed, then each
// file opened, asked for its status, read and closed, with no digest and no output), also
// through io_uring. The variants take turns in each round;
// each figure is the best of the rounds.
//
//   tiny_files_bench [FOLDER [ROUNDS [QUORVEX]]]
//
// FOLDER (default /tmp/quorvex-tiny-bench) is filled once and kept; ROUNDS defaults to 3.
#include "bench/BenchRounds.h"

#include <atomic>
#include <cstring>
#include <filesystem>
#include <thread>

#include <dirent.h>
#include <liburing.h>
#include <sys/stat.h>

namespace {

constexpr int kFiles = 100000;

// The folder listed: its regular files' names, and the folder open for the opens relative to it.
struct Listing {
    explicit Listing(const std::string& folder) : dir(::opendir(folder.c_str()))
    {
        if (!dir)
            std::abort();
        while (const dirent* entry = ::readdir(dir))
            if (entry->d_type == DT_REG)
                names.emplace_back(entry->d_name);
    }
    ~Listing() { ::closedir(dir); }
    int Fd() const { return ::dirfd(dir); }

    DIR* dir;
    std::vector<std::string> names;
};

template <class Work>
void OnThreads(unsigned threads, const Work& work)
{
    std::vector<std::thread> pool;
    for (unsigned t = 1; t < threads; ++t)
        pool.emplace_back(work);
    work();
    for (std::thread& thread : pool)
        thread.join();
}

void Floor(const std::string& folder, unsigned threads)
{
    const Listing listing(folder);
    const int dirFd = listing.Fd();
    const std::vector<std::string>& names = listing.names;
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
    OnThreads(threads, work);
}

// The same system calls through io_uring: a thread's files go in chunks, each file's open, read
// and close linked in one chain on a fixed-file slot, one submission per chunk. withStatus adds a
// statx by name to each chain, as a pass needs the size at the open.
void UringFloor(const std::string& folder, unsigned threads, bool withStatus)
{
    constexpr unsigned kChunk = 32;
    constexpr size_t kBufferBytes = 64 * 1024;
    const Listing listing(folder);
    const int dirFd = listing.Fd();
    const std::vector<std::string>& names = listing.names;
    std::atomic<size_t> next{0};
    std::atomic<uint64_t> bytes{0}, failures{0};
    constexpr uint64_t kRead = 1;
    const auto work = [&] {
        io_uring ring;
        if (io_uring_queue_init(kChunk * 4, &ring, 0) < 0 ||
            io_uring_register_files_sparse(&ring, kChunk) < 0)
            std::abort();
        std::vector<char> buffers(kChunk * kBufferBytes);
        std::vector<struct statx> status(kChunk);
        for (size_t first; (first = next.fetch_add(kChunk, std::memory_order_relaxed)) < names.size();) {
            const size_t count = std::min<size_t>(kChunk, names.size() - first);
            unsigned entries = 0;
            for (unsigned j = 0; j < count; ++j) {
                const char* name = names[first + j].c_str();
                io_uring_sqe* sqe = io_uring_get_sqe(&ring);
                // A slot is no descriptor of the process: O_CLOEXEC is refused there.
                io_uring_prep_openat_direct(sqe, dirFd, name, O_RDONLY | O_NONBLOCK | O_NOCTTY, 0, j);
                io_uring_sqe_set_data64(sqe, 0);
                sqe->flags |= IOSQE_IO_LINK;
                if (withStatus) {
                    sqe = io_uring_get_sqe(&ring);
                    io_uring_prep_statx(sqe, dirFd, name, 0, STATX_TYPE | STATX_SIZE, &status[j]);
                    io_uring_sqe_set_data64(sqe, 0);
                    sqe->flags |= IOSQE_IO_LINK;
                    ++entries;
                }
                sqe = io_uring_get_sqe(&ring);
                io_uring_prep_read(sqe, static_cast<int>(j), buffers.data() + j * kBufferBytes, kBufferBytes,
                                   0);
                io_uring_sqe_set_data64(sqe, kRead);
                // A short read, the end of every small file, would cut a plain link: the close
                // must follow whatever the read gave.
                sqe->flags |= IOSQE_FIXED_FILE | IOSQE_IO_HARDLINK;
                sqe = io_uring_get_sqe(&ring);
                io_uring_prep_close_direct(sqe, j);
                io_uring_sqe_set_data64(sqe, 0);
                entries += 3;
            }
            if (io_uring_submit_and_wait(&ring, entries) < 0)
                std::abort();
            // Every entry completes, those of a chain cut short by a failure with -ECANCELED.
            for (unsigned seen = 0; seen < entries; ++seen) {
                io_uring_cqe* cqe;
                if (io_uring_wait_cqe(&ring, &cqe) < 0)
                    std::abort();
                if (cqe->res < 0 && failures.fetch_add(1, std::memory_order_relaxed) == 0)
                    std::fprintf(stderr, "io_uring: %s (entry %llu)\n", std::strerror(-cqe->res),
                                 static_cast<unsigned long long>(io_uring_cqe_get_data64(cqe)));
                else if (io_uring_cqe_get_data64(cqe) == kRead)
                    bytes.fetch_add(static_cast<uint64_t>(cqe->res), std::memory_order_relaxed);
                io_uring_cqe_seen(&ring, cqe);
            }
        }
        io_uring_queue_exit(&ring);
    };
    OnThreads(threads, work);
    // The files hold 1, 2 and 3 bytes in turn: a floor that read less measured nothing.
    uint64_t expected = 0;
    for (size_t i = 0; i < names.size(); ++i)
        expected += 1 + i % 3;
    if (failures != 0 || bytes != expected) {
        std::fprintf(stderr, "io_uring: %llu failures, %llu bytes read\n",
                     static_cast<unsigned long long>(failures.load()),
                     static_cast<unsigned long long>(bytes.load()));
        std::exit(1);
    }
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
        {"floor, io_uring chains, 1 thread", [&] { UringFloor(folder, 1, false); }, false, 0, {}},
        {"floor, io_uring chains, 2 threads", [&] { UringFloor(folder, 2, false); }, false, 1, {}},
        {"floor, io_uring chains with statx, 2 threads", [&] { UringFloor(folder, 2, true); }, false, 1, {}},
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
         5,
         {}},
        {"quorvex -j 1 -a md5,sha1",
         [&] {
             RunProcess({quorvex, "-j", "1", "-a", "md5,sha1", folder});
         },
         true,
         5,
         {}},
        {"window core: take in the folder",
         [&] {
             window.checker.ClearList();
             window.checker.AddFolder(folder);
         },
         false,
         -1,
         {}},
        {"window core: pass MD5 + SHA1", [&] { window.Pass(kStartUp, 0); }, false, 5, {}},
    };
    RunRounds(variants, rounds);
    std::printf("%d files of 1 to 3 bytes, best of %d rounds, %u hardware threads\n", kFiles, rounds,
                std::max(1u, std::thread::hardware_concurrency()));
    PrintTable(variants, kFiles, "files/s");
    std::printf("against the floor:\n");
    PrintRatio(variants, 6, 1);
    PrintRatio(variants, 7, 0);
    PrintRatio(variants, 9, 1);
    return 0;
}
