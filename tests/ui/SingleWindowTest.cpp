// One window per user: the window's lock and socket, later starts that hand their names over,
// windows that crashed or are still starting, and other users at either end.
#include "ui/SingleWindow.h"

#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>

#include <QTest>

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <future>

namespace {

using namespace std::chrono_literals;
using Names = std::vector<std::string>;

constexpr uid_t kNobody = 65534;

int ListeningSocket(const std::string& path)
{
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    struct sockaddr_un address {};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    if (bind(fd, reinterpret_cast<struct sockaddr*>(&address), sizeof address) != 0 || listen(fd, 4) != 0)
        return -1;
    return fd;
}

int ConnectedSocket(const std::string& path)
{
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    struct sockaddr_un address {};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    if (connect(fd, reinterpret_cast<struct sockaddr*>(&address), sizeof address) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

// Lets the window's event loop run until the child process has ended; its exit status.
int WaitWhileServing(pid_t child)
{
    int status = -1;
    EXPECT_TRUE(QTest::qWaitFor([&] { return waitpid(child, &status, WNOHANG) == child; }, 20000));
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class SingleWindowTest : public testing::Test {
protected:
    SingleWindowTest()
    {
        QObject::connect(&window, &SingleWindow::Requested,
                         [this](const WindowRequest& request) { requests.push_back(request); });
    }

    // A later start in a thread of its own, as the window's event loop must run meanwhile.
    SingleWindow::Start LaterStart(const WindowRequest& request, std::string& reason)
    {
        auto later = std::async(std::launch::async, [&] {
            SingleWindow second(runtime.Path());
            second.ListenPatience = 500ms;
            return second.Claim(request, reason);
        });
        EXPECT_TRUE(QTest::qWaitFor([&] { return later.wait_for(0ms) == std::future_status::ready; }, 20000));
        return later.get();
    }
    bool RequestArrives(size_t count = 1)
    {
        return QTest::qWaitFor([&] { return requests.size() >= count; }, 20000);
    }

    TempDir runtime;
    SingleWindow window{runtime.Path()};
    std::vector<WindowRequest> requests;
    std::string why;
};

TEST(WindowRequestTest, EveryNameCrossesTheWireWithItsOwnBytes)
{
    const WindowRequest request{{"/tmp/a b.txt", "/tmp/caf\xE9", "/tmp/line\nbreak", "", "/tmp/\xE6\xA0\xA1"},
                                "token-123"};
    const std::string frame = EncodeWindowRequest(request);
    WindowRequest decoded;
    ASSERT_EQ(DecodeWindowRequest(frame, decoded), FrameState::Complete);
    EXPECT_EQ(decoded, request);
    for (size_t cut = 0; cut < frame.size(); ++cut)
        ASSERT_EQ(DecodeWindowRequest(frame.substr(0, cut), decoded), FrameState::Incomplete) << cut;

    WindowRequest empty;
    ASSERT_EQ(DecodeWindowRequest(EncodeWindowRequest({}), empty), FrameState::Complete);
    EXPECT_EQ(empty, WindowRequest{});

    // Sumora --recursive: the same frame under a magic of its own; a plain one stays as it was.
    WindowRequest trees = request;
    trees.Recursive = true;
    const std::string treeFrame = EncodeWindowRequest(trees);
    EXPECT_EQ(treeFrame.substr(0, 4), "QVXR");
    EXPECT_EQ(treeFrame.substr(4), frame.substr(4));
    EXPECT_EQ(frame.substr(0, 4), "QVX1");
    ASSERT_EQ(DecodeWindowRequest(treeFrame, decoded), FrameState::Complete);
    EXPECT_EQ(decoded, trees);
    ASSERT_EQ(DecodeWindowRequest(frame, decoded), FrameState::Complete);
    EXPECT_FALSE(decoded.Recursive);
}

TEST(WindowRequestTest, AnythingButOneWholeRequestIsBad)
{
    WindowRequest decoded;
    const std::string frame = EncodeWindowRequest({{"/tmp/a"}, ""});
    EXPECT_EQ(DecodeWindowRequest("GET / HTTP/1.0\r\n\r\n", decoded), FrameState::Bad);
    EXPECT_EQ(DecodeWindowRequest("Q", decoded), FrameState::Incomplete);
    EXPECT_EQ(DecodeWindowRequest("QX", decoded), FrameState::Bad);
    EXPECT_EQ(DecodeWindowRequest(frame + "x", decoded), FrameState::Bad) << "bytes after the request";
    EXPECT_EQ(DecodeWindowRequest(std::string("QVX1\0\0\0\0", 8), decoded), FrameState::Bad)
        << "no token field";
    EXPECT_EQ(DecodeWindowRequest(std::string("QVX1\0\0\0\2ab", 10), decoded), FrameState::Bad)
        << "unended name";
    EXPECT_EQ(DecodeWindowRequest(std::string("QVX1\x7f\0\0\0", 8), decoded), FrameState::Bad) << "2 GiB";
}

TEST_F(SingleWindowTest, ALaterStartHandsItsNamesAndTokenToTheWindowAndEnds)
{
    ASSERT_EQ(window.Claim({}, why), SingleWindow::Start::Window) << why;
    const WindowRequest request{{"/srv/b.txt", "/srv/caf\xE9", "/srv/folder"}, "activation-token"};
    EXPECT_EQ(LaterStart(request, why), SingleWindow::Start::HandedOver) << why;
    ASSERT_TRUE(RequestArrives());
    EXPECT_EQ(requests[0], request);

    // Without names: only to bring the window to the front. And in the order of the starts.
    EXPECT_EQ(LaterStart({}, why), SingleWindow::Start::HandedOver) << why;
    EXPECT_EQ(LaterStart({{"/srv/c"}, ""}, why), SingleWindow::Start::HandedOver) << why;
    ASSERT_TRUE(RequestArrives(3));
    EXPECT_EQ(requests[1], WindowRequest{});
    EXPECT_EQ(requests[2].Names, (Names{"/srv/c"}));
}

TEST_F(SingleWindowTest, ASocketLeftByACrashedWindowDoesNotStopTheNextWindow)
{
    const pid_t crashed = fork();
    ASSERT_GE(crashed, 0);
    if (crashed == 0) {
        // A window that took the lock, listened, and was killed: its socket file stays behind.
        const int lock = open(window.LockPath().c_str(), O_RDWR | O_CREAT, 0600);
        if (lock < 0 || flock(lock, LOCK_EX) != 0 || ListeningSocket(window.SocketPath()) < 0)
            _exit(1);
        raise(SIGKILL);
    }
    int status = 0;
    ASSERT_EQ(waitpid(crashed, &status, 0), crashed);
    ASSERT_TRUE(WIFSIGNALED(status));
    ASSERT_EQ(access(window.SocketPath().c_str(), F_OK), 0) << "the crash left its socket";

    ASSERT_EQ(window.Claim({}, why), SingleWindow::Start::Window) << why;
    EXPECT_EQ(LaterStart({{"/srv/a"}, ""}, why), SingleWindow::Start::HandedOver) << why;
    ASSERT_TRUE(RequestArrives());
    EXPECT_EQ(requests[0].Names, (Names{"/srv/a"}));
}

TEST_F(SingleWindowTest, AWindowThatHoldsTheLockButNeverListensLetsTheStartOpenItsOwn)
{
    const int lock = open(window.LockPath().c_str(), O_RDWR | O_CREAT, 0600);
    ASSERT_EQ(flock(lock, LOCK_EX), 0);
    EXPECT_EQ(LaterStart({{"/srv/a"}, ""}, why), SingleWindow::Start::Alone);
    EXPECT_NE(why.find("does not listen"), std::string::npos) << why;
    close(lock);
    EXPECT_EQ(window.Claim({}, why), SingleWindow::Start::Window) << "the lock is free again: " << why;
}

TEST_F(SingleWindowTest, AWindowThatCannotListenOpensAloneAndLetsGoOfTheLock)
{
    // A socket's path is limited to 107 bytes; a folder this deep is still a folder.
    std::string deep = runtime.Path();
    while (deep.size() < 120) {
        deep += "/deeper-and-deeper";
        ASSERT_EQ(mkdir(deep.c_str(), 0700), 0);
    }
    SingleWindow first(deep);
    EXPECT_EQ(first.Claim({}, why), SingleWindow::Start::Alone);
    EXPECT_NE(why.find("cannot listen"), std::string::npos) << why;
    SingleWindow second(deep);
    second.ListenPatience = 20s;
    EXPECT_EQ(second.Claim({{"/srv/a"}, ""}, why), SingleWindow::Start::Alone);
    EXPECT_NE(why.find("cannot listen"), std::string::npos)
        << "it took the lock itself, waiting for nobody: " << why;
}

TEST_F(SingleWindowTest, AClosedWindowLeavesNeitherSocketNorLock)
{
    {
        SingleWindow first(runtime.Path());
        ASSERT_EQ(first.Claim({}, why), SingleWindow::Start::Window) << why;
        ASSERT_EQ(access(first.SocketPath().c_str(), F_OK), 0);
    }
    EXPECT_NE(access(window.SocketPath().c_str(), F_OK), 0);
    EXPECT_EQ(window.Claim({}, why), SingleWindow::Start::Window) << why;
}

TEST_F(SingleWindowTest, SomethingElseOnTheSocketIsCutOffWithoutARequest)
{
    ASSERT_EQ(window.Claim({}, why), SingleWindow::Start::Window) << why;
    const int fd = ConnectedSocket(window.SocketPath());
    ASSERT_GE(fd, 0);
    const char garbage[] = "GET / HTTP/1.0\r\n\r\n";
    ASSERT_EQ(write(fd, garbage, sizeof garbage - 1), static_cast<ssize_t>(sizeof garbage - 1));
    char answer = 0;
    auto reading = std::async(std::launch::async, [&] { return recv(fd, &answer, 1, 0); });
    ASSERT_TRUE(QTest::qWaitFor([&] { return reading.wait_for(0ms) == std::future_status::ready; }, 20000));
    EXPECT_LE(reading.get(), 0) << "closed without an answer";
    close(fd);
    QTest::qWait(0);
    EXPECT_TRUE(requests.empty());

    EXPECT_EQ(LaterStart({{"/srv/after"}, ""}, why), SingleWindow::Start::HandedOver)
        << "still serving: " << why;
}

TEST_F(SingleWindowTest, AnotherUsersStartIsNotTakenEvenWhereItCanReachTheSocket)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "starting as another user needs root";
    ASSERT_EQ(window.Claim({}, why), SingleWindow::Start::Window) << why;
    // Open what the folder and the socket keep closed, so that only the window's own check stands.
    ASSERT_EQ(chmod(runtime.Path().c_str(), 0777), 0);
    ASSERT_EQ(chmod(window.SocketPath().c_str(), 0777), 0);
    const pid_t other = fork();
    ASSERT_GE(other, 0);
    if (other == 0) {
        // A start that skips its own check of the other end and sends a whole request.
        if (setgid(kNobody) != 0 || setuid(kNobody) != 0)
            _exit(10);
        const int fd = ConnectedSocket(window.SocketPath());
        if (fd < 0)
            _exit(11);
        const std::string frame = EncodeWindowRequest({{"/srv/theirs"}, ""});
        send(fd, frame.data(), frame.size(), MSG_NOSIGNAL);
        char answer = 0;
        _exit(recv(fd, &answer, 1, 0) == 1 ? 1 : 0);
    }
    EXPECT_EQ(WaitWhileServing(other), 0) << "the window answered another user";
    QTest::qWait(0);
    EXPECT_TRUE(requests.empty());
}

TEST_F(SingleWindowTest, NoNameGoesToAWindowOfAnotherUser)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "a window of another user needs root";
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const std::string theirs = runtime / "theirs";
    ASSERT_EQ(chmod(runtime.Path().c_str(), 0777), 0);
    const pid_t other = fork();
    ASSERT_GE(other, 0);
    if (other == 0) {
        // Their window, listening where we might look: it counts what reaches it.
        if (setgid(kNobody) != 0 || setuid(kNobody) != 0)
            _exit(10);
        const int server = ListeningSocket(theirs);
        if (server < 0 || chmod(theirs.c_str(), 0777) != 0)
            _exit(11);
        if (write(ready[1], "r", 1) != 1)
            _exit(12);
        const int client = accept(server, nullptr, nullptr);
        char byte = 0;
        const ssize_t got = read(client, &byte, 1);
        if (got > 0 && write(client, &kRequestTaken, 1) != 1)
            _exit(13);
        _exit(got > 0 ? 1 : 0);
    }
    char byte = 0;
    ASSERT_EQ(read(ready[0], &byte, 1), 1);
    EXPECT_EQ(HandOver(theirs, {{"/srv/ours"}, ""}, 10s, why), HandOverResult::Refused);
    EXPECT_NE(why.find("another user"), std::string::npos) << why;
    int status = 0;
    ASSERT_EQ(waitpid(other, &status, 0), other);
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "their window received bytes of ours";
    close(ready[0]);
    close(ready[1]);
}

}  // namespace
