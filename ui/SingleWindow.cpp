#include "ui/SingleWindow.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QMetaObject>

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <memory>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

constexpr char kMagic[] = "QVX1";
// The same frame for Sumora --recursive: its folders are taken with all below them.
constexpr char kRecursiveMagic[] = "QVXR";
constexpr size_t kMagicSize = 4;
constexpr size_t kHeaderSize = kMagicSize + 4;
// Far above any command line (the kernel caps one at a few MiB); a longer frame is not ours.
constexpr uint32_t kLongestPayload = 64u << 20;

const char* kLockName = "/quorvex-window.lock";
const char* kSocketName = "/quorvex-window";

bool PeerIsThisUser(int fd)
{
    struct ucred peer {};
    socklen_t size = sizeof peer;
    return fd >= 0 && getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && size == sizeof peer &&
           peer.uid == geteuid();
}

int MillisecondsLeft(Clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

// Waits until the socket is ready for `events` or the deadline passes.
bool WaitFor(int fd, short events, Clock::time_point deadline)
{
    for (;;) {
        struct pollfd entry {
            fd, events, 0
        };
        const int ready = poll(&entry, 1, MillisecondsLeft(deadline));
        if (ready > 0)
            return true;
        if (ready == 0 || errno != EINTR)
            return false;
    }
}

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor()
    {
        if (fd_ >= 0)
            close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int Get() const { return fd_; }

private:
    int fd_;
};

}  // namespace

std::string EncodeWindowRequest(const WindowRequest& request)
{
    std::string payload = request.ActivationToken;
    payload += '\0';
    for (const std::string& name : request.Names) {
        payload += name;
        payload += '\0';
    }
    const auto size = static_cast<uint32_t>(payload.size());
    std::string frame(request.Recursive ? kRecursiveMagic : kMagic, kMagicSize);
    for (int shift = 24; shift >= 0; shift -= 8)
        frame += static_cast<char>((size >> shift) & 0xff);
    return frame + payload;
}

FrameState DecodeWindowRequest(const std::string& bytes, WindowRequest& request)
{
    const size_t magicSeen = std::min(bytes.size(), kMagicSize);
    const bool recursive = bytes.compare(0, magicSeen, kRecursiveMagic, magicSeen) == 0;
    if (bytes.compare(0, magicSeen, kMagic, magicSeen) != 0 && !recursive)
        return FrameState::Bad;
    if (bytes.size() < kHeaderSize)
        return FrameState::Incomplete;
    uint32_t size = 0;
    for (size_t i = kMagicSize; i < kHeaderSize; ++i)
        size = (size << 8) | static_cast<unsigned char>(bytes[i]);
    if (size == 0 || size > kLongestPayload || bytes.size() > kHeaderSize + size)
        return FrameState::Bad;
    if (bytes.size() < kHeaderSize + size)
        return FrameState::Incomplete;
    if (bytes.back() != '\0')
        return FrameState::Bad;

    request = {};
    request.Recursive = recursive;
    size_t start = kHeaderSize;
    bool tokenRead = false;
    while (start < bytes.size()) {
        const size_t end = bytes.find('\0', start);
        std::string field = bytes.substr(start, end - start);
        if (!tokenRead)
            request.ActivationToken = std::move(field);
        else
            request.Names.push_back(std::move(field));
        tokenRead = true;
        start = end + 1;
    }
    return FrameState::Complete;
}

HandOverResult HandOver(const std::string& socketPath, const WindowRequest& request,
                        std::chrono::milliseconds patience, std::string& why)
{
    struct sockaddr_un address {};
    address.sun_family = AF_UNIX;
    if (socketPath.size() >= sizeof address.sun_path) {
        why = "the socket path " + socketPath + " is too long";
        return HandOverResult::Refused;
    }
    std::memcpy(address.sun_path, socketPath.c_str(), socketPath.size() + 1);

    // Non-blocking from the start: a window whose queue of connections is full must not hold
    // this start up.
    const Descriptor socket(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (socket.Get() < 0) {
        why = std::string("cannot make a socket: ") + std::strerror(errno);
        return HandOverResult::Refused;
    }
    if (connect(socket.Get(), reinterpret_cast<const struct sockaddr*>(&address), sizeof address) != 0) {
        if (errno == ENOENT || errno == ECONNREFUSED || errno == EAGAIN)
            return HandOverResult::NoWindow;
        why = "cannot reach the window at " + socketPath + ": " + std::strerror(errno);
        return HandOverResult::Refused;
    }
    if (!PeerIsThisUser(socket.Get())) {
        why = "the window at " + socketPath + " belongs to another user";
        return HandOverResult::Refused;
    }

    const Clock::time_point deadline = Clock::now() + patience;
    const std::string frame = EncodeWindowRequest(request);
    size_t sent = 0;
    while (sent < frame.size()) {
        const ssize_t written = send(socket.Get(), frame.data() + sent, frame.size() - sent, MSG_NOSIGNAL);
        if (written > 0) {
            sent += static_cast<size_t>(written);
        } else if (written < 0 && (errno == EAGAIN || errno == EINTR)) {
            if (!WaitFor(socket.Get(), POLLOUT, deadline)) {
                why = "the running window does not take the names";
                return HandOverResult::NoAnswer;
            }
        } else {
            why = std::string("the running window closed the connection: ") + std::strerror(errno);
            return HandOverResult::Refused;
        }
    }
    for (;;) {
        char answer = 0;
        const ssize_t got = recv(socket.Get(), &answer, 1, 0);
        if (got == 1 && answer == kRequestTaken)
            return HandOverResult::Delivered;
        if (got < 0 && (errno == EAGAIN || errno == EINTR)) {
            if (WaitFor(socket.Get(), POLLIN, deadline))
                continue;
            why = "the running window did not confirm the names";
            return HandOverResult::NoAnswer;
        }
        why = "the running window refused the names";
        return HandOverResult::Refused;
    }
}

SingleWindow::SingleWindow(const std::string& runtimeFolder, QObject* parent)
    : QObject(parent), lockPath_(runtimeFolder + kLockName), socketPath_(runtimeFolder + kSocketName)
{
}

SingleWindow::~SingleWindow()
{
    // The socket goes before the lock: once the lock is free, a new window may already have put
    // its own socket in the same place.
    delete server_;
    if (lockFd_ >= 0)
        close(lockFd_);
}

SingleWindow::Start SingleWindow::Claim(const WindowRequest& request, std::string& why)
{
    why.clear();
    // Close-on-exec: a program started from the window (the web browser) must not inherit the
    // lock and keep it after the window is gone.
    const int fd = open(lockPath_.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        why = "cannot open " + lockPath_ + ": " + std::strerror(errno);
        return Start::Alone;
    }
    if (flock(fd, LOCK_EX | LOCK_NB) == 0) {
        lockFd_ = fd;
        if (Serve(why))
            return Start::Window;
        // A window that cannot be reached must not keep the next start waiting for it.
        close(lockFd_);
        lockFd_ = -1;
        return Start::Alone;
    }
    const int lockError = errno;
    close(fd);
    if (lockError != EWOULDBLOCK) {
        why = "cannot lock " + lockPath_ + ": " + std::strerror(lockError);
        return Start::Alone;
    }

    // A window holds the lock; one that has only just started may not listen yet.
    const Clock::time_point listenDeadline = Clock::now() + ListenPatience;
    for (;;) {
        switch (HandOver(socketPath_, request, AnswerPatience, why)) {
        case HandOverResult::Delivered: return Start::HandedOver;
        case HandOverResult::NoAnswer: return Start::Unanswered;
        case HandOverResult::Refused: return Start::Alone;
        case HandOverResult::NoWindow: break;
        }
        if (Clock::now() >= listenDeadline) {
            why = "a window holds " + lockPath_ + " but does not listen on " + socketPath_;
            return Start::Alone;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

bool SingleWindow::Serve(std::string& why)
{
    const QString name = QString::fromLocal8Bit(socketPath_);
    if (name.toLocal8Bit().toStdString() != socketPath_) {
        why = "the socket path " + socketPath_ + " cannot be named in this locale";
        return false;
    }
    // Whatever lies at the socket's place is left from a window that is gone: we hold the lock.
    unlink(socketPath_.c_str());
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_->listen(name)) {
        why = "cannot listen on " + socketPath_ + ": " + server_->errorString().toStdString();
        delete server_;
        server_ = nullptr;
        return false;
    }
    connect(server_, &QLocalServer::newConnection, this, &SingleWindow::TakeConnections);
    return true;
}

void SingleWindow::TakeConnections()
{
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        if (!PeerIsThisUser(static_cast<int>(socket->socketDescriptor()))) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        auto buffer = std::make_shared<std::string>();
        connect(socket, &QLocalSocket::readyRead, this,
                [this, socket, buffer] { ReadRequest(socket, *buffer); });
        ReadRequest(socket, *buffer);
    }
}

void SingleWindow::ReadRequest(QLocalSocket* socket, std::string& buffer)
{
    if (socket->state() != QLocalSocket::ConnectedState)
        return;
    const QByteArray bytes = socket->readAll();
    buffer.append(bytes.constData(), static_cast<size_t>(bytes.size()));
    WindowRequest request;
    switch (DecodeWindowRequest(buffer, request)) {
    case FrameState::Incomplete: return;
    case FrameState::Bad:
        socket->abort();
        socket->deleteLater();
        return;
    case FrameState::Complete: break;
    }
    disconnect(socket, &QLocalSocket::readyRead, this, nullptr);
    socket->write(&kRequestTaken, 1);
    socket->disconnectFromServer();  // after the answer has been written
    // The window takes the names once this handler has returned, so a message box that the
    // intake shows does not hold the socket up.
    QMetaObject::invokeMethod(
        this, [this, request] { emit Requested(request); }, Qt::QueuedConnection);
}
