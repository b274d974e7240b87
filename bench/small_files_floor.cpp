// The floor for hashing many tiny files: what the system calls alone cost, with no digest and
// no output. The folder is listed and every entry's kind and size asked (as the folder intake
// asks them), then the files are shared out over the threads, each opened, asked for its status,
// read and closed.
//
//   small_files_floor FOLDER [THREADS]
//
// Prints the wall time in seconds, and the files and bytes read.
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FOLDER [THREADS]\n", argv[0]);
        return 2;
    }
    const unsigned threads = argc > 2 ? static_cast<unsigned>(std::atoi(argv[2])) : 1;
    const auto start = std::chrono::steady_clock::now();

    DIR* dir = ::opendir(argv[1]);
    if (!dir) {
        std::perror(argv[1]);
        return 1;
    }
    const int dirFd = ::dirfd(dir);
    std::vector<std::string> names;
    while (const dirent* entry = ::readdir(dir)) {
        struct stat st;
        if (entry->d_name[0] == '.' || ::fstatat(dirFd, entry->d_name, &st, 0) != 0 || !S_ISREG(st.st_mode))
            continue;
        names.emplace_back(entry->d_name);
    }

    std::atomic<size_t> next{0};
    std::atomic<long long> bytes{0};
    const auto work = [&] {
        char buffer[256 * 1024];
        long long mine = 0;
        for (size_t i; (i = next.fetch_add(1, std::memory_order_relaxed)) < names.size();) {
            const int fd = ::openat(dirFd, names[i].c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
            if (fd < 0)
                continue;
            struct stat st;
            if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
                const ssize_t n = ::read(fd, buffer, sizeof buffer);
                if (n > 0)
                    mine += n;
            }
            ::close(fd);
        }
        bytes += mine;
    };
    std::vector<std::thread> pool;
    for (unsigned t = 1; t < threads; ++t)
        pool.emplace_back(work);
    work();
    for (std::thread& thread : pool)
        thread.join();
    ::closedir(dir);

    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%.3f s, %zu files, %lld bytes\n", seconds, names.size(), bytes.load());
    return 0;
}
