// One window per user. The first start takes a lock file in the user's private runtime folder
// and listens on a local socket beside it; a later start finds the lock taken, hands its names to
// that socket and ends. The lock, not the socket file, says whether a window runs: the kernel
// lets go of it when the window's process ends in any way, so a socket file left behind by a
// crashed window is simply replaced. Both ends check that the other end is this user.
#pragma once

#include <QObject>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

class QLocalServer;
class QLocalSocket;

// What a later start asks of the running window: the names it was given (absolute, native
// bytes, possibly none) and the token its desktop gave it for bringing a window to the front.
struct WindowRequest {
    std::vector<std::string> Names;
    std::string ActivationToken;
    bool Recursive = false;  // Sumora --recursive: "QVXR" in place of "QVX1"

    bool operator==(const WindowRequest&) const = default;
};

// A request on the wire: "QVX1", the payload's length (4 bytes, big-endian), then the token and
// every name, each ended by a NUL byte (which no file name contains). The window answers one
// byte, 'A', once the whole request is in.
std::string EncodeWindowRequest(const WindowRequest& request);
enum class FrameState {
    Incomplete,
    Complete,
    Bad
};
FrameState DecodeWindowRequest(const std::string& bytes, WindowRequest& request);
inline constexpr char kRequestTaken = 'A';

enum class HandOverResult {
    Delivered,  // the window has the whole request
    NoWindow,   // nobody listens on the socket (yet)
    Refused,    // the socket belongs to another user, or the window closed on us
    NoAnswer,   // sent, but the window did not confirm in time
};
// The later start's side, in plain POSIX calls: it needs no event loop.
HandOverResult HandOver(const std::string& socketPath, const WindowRequest& request,
                        std::chrono::milliseconds patience, std::string& why);

class SingleWindow : public QObject {
    Q_OBJECT
public:
    enum class Start {
        Window,      // this start is the window: it holds the lock and serves later starts
        HandedOver,  // a running window took the request; this start ends
        Unanswered,  // a running window was sent the request but did not confirm it
        Alone,       // no single window can be had; this start opens a window that serves nobody
    };

    explicit SingleWindow(const std::string& runtimeFolder, QObject* parent = nullptr);
    ~SingleWindow() override;

    Start Claim(const WindowRequest& request, std::string& why);

    std::string LockPath() const { return lockPath_; }
    std::string SocketPath() const { return socketPath_; }

    // How long a later start waits for a window that holds the lock to listen, and for a
    // window that was sent a request to confirm it (it may be busy taking in a large folder).
    std::chrono::milliseconds ListenPatience{3000};
    std::chrono::milliseconds AnswerPatience{30000};

signals:
    // Emitted from the event loop, after the later start has had its answer.
    void Requested(const WindowRequest& request);

private:
    bool Serve(std::string& why);
    void TakeConnections();
    void ReadRequest(QLocalSocket* socket, std::string& buffer);

    std::string lockPath_;
    std::string socketPath_;
    int lockFd_ = -1;
    QLocalServer* server_ = nullptr;
};
