#include "sums/SumSignature.h"

#include <gpgme.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <mutex>
#include <vector>

#include <cerrno>
#include <poll.h>

namespace {

// Weakest first for WeakerSignature: a lower rank wins.
int Rank(SignatureState state)
{
    switch (state) {
    case SignatureState::Bad: return 0;
    case SignatureState::NotChecked: return 1;
    case SignatureState::NoPublicKey: return 2;
    case SignatureState::RevokedKey: return 3;
    case SignatureState::ExpiredKey: return 4;
    case SignatureState::ExpiredSignature: return 5;
    case SignatureState::NotSigned: return 6;
    case SignatureState::GoodUncertified: return 7;
    case SignatureState::Good: return 8;
    }
    return 0;
}

SignatureCheck NotChecked(std::string reason)
{
    SignatureCheck check;
    check.State = SignatureState::NotChecked;
    check.Reason = std::move(reason);
    return check;
}

std::string ErrorText(gpgme_error_t error) { return gpgme_strerror(error); }

// GPGME wants its version check once before any other call; it also sets up its locks.
bool GpgmeReady()
{
    static std::once_flag once;
    static bool ready = false;
    std::call_once(once, [] { ready = gpgme_check_version(nullptr) != nullptr; });
    return ready;
}

struct ContextDeleter {
    void operator()(gpgme_ctx_t context) const { gpgme_release(context); }
};
struct DataDeleter {
    void operator()(gpgme_data_t data) const { gpgme_data_release(data); }
};
using Context = std::unique_ptr<std::remove_pointer_t<gpgme_ctx_t>, ContextDeleter>;
using Data = std::unique_ptr<std::remove_pointer_t<gpgme_data_t>, DataDeleter>;

Data DataOver(std::string_view bytes, gpgme_error_t& error)
{
    gpgme_data_t data = nullptr;
    // Not copied: the bytes outlive the operation.
    error = gpgme_data_new_from_mem(&data, bytes.data(), bytes.size(), 0);
    return Data(error ? nullptr : data);
}

// The descriptors GPGME talks to gpg through, polled here with a time limit; GPGME's own loop
// would wait for gpg as long as it takes.
class EventLoop {
public:
    static gpgme_error_t Add(void* data, int fd, int dir, gpgme_io_cb_t callback, void* callbackData,
                             void** tag)
    {
        auto* loop = static_cast<EventLoop*>(data);
        loop->handlers_.push_back(
            std::make_unique<Handler>(Handler{fd, dir != 0, callback, callbackData, false}));
        *tag = loop->handlers_.back().get();
        return 0;
    }
    static void Remove(void* tag) { static_cast<Handler*>(tag)->Removed = true; }
    static void Event(void* data, gpgme_event_io_t type, void* typeData)
    {
        auto* loop = static_cast<EventLoop*>(data);
        if (type == GPGME_EVENT_DONE) {
            const auto* done = static_cast<gpgme_io_event_done_data_t>(typeData);
            loop->Status = done->err ? done->err : done->op_err;
            loop->Done = true;
        } else if (type == GPGME_EVENT_NEXT_KEY) {
            // With a loop of our own, a listed key comes here instead of to gpgme_op_keylist_next,
            // and is ours to release.
            auto* key = static_cast<gpgme_key_t>(typeData);
            if (loop->FirstUserId.empty() && key->uids && key->uids->uid)
                loop->FirstUserId = key->uids->uid;
            gpgme_key_unref(key);
        }
    }

    // Waits up to milliseconds for gpg and hands every descriptor that is ready to GPGME.
    gpgme_error_t RunOnce(int milliseconds)
    {
        std::vector<pollfd> polled;
        std::vector<Handler*> owners;
        for (const std::unique_ptr<Handler>& handler : handlers_)
            if (!handler->Removed) {
                polled.push_back(
                    pollfd{handler->Fd, static_cast<short>(handler->Reads ? POLLIN : POLLOUT), 0});
                owners.push_back(handler.get());
            }
        if (polled.empty()) {
            // Nothing left to talk through, yet no end was told: GPGME has given up on gpg.
            Done = true;
            return Status ? Status : gpgme_error(GPG_ERR_GENERAL);
        }
        const int ready = ::poll(polled.data(), polled.size(), milliseconds);
        if (ready < 0)
            return errno == EINTR ? 0 : gpgme_error_from_errno(errno);
        for (size_t i = 0; i < polled.size(); ++i)
            if (polled[i].revents && !owners[i]->Removed)
                if (const gpgme_error_t error = owners[i]->Callback(owners[i]->Data, owners[i]->Fd))
                    return error;
        std::erase_if(handlers_, [](const std::unique_ptr<Handler>& handler) { return handler->Removed; });
        return 0;
    }

    bool Done = false;
    gpgme_error_t Status = 0;
    std::string FirstUserId;

private:
    struct Handler {
        int Fd;
        bool Reads;
        gpgme_io_cb_t Callback;
        void* Data;
        bool Removed;
    };
    std::vector<std::unique_ptr<Handler>> handlers_;
};

class Verification {
public:
    explicit Verification(const SignatureSettings& settings)
        : deadline_(std::chrono::steady_clock::now() + std::chrono::seconds(settings.TimeoutSeconds))
    {
        if (!GpgmeReady()) {
            failure_ = "GPGME could not be started";
            return;
        }
        gpgme_ctx_t context = nullptr;
        if (const gpgme_error_t error = gpgme_new(&context)) {
            failure_ = ErrorText(error);
            return;
        }
        context_.reset(context);
        gpgme_error_t error = gpgme_set_protocol(context, GPGME_PROTOCOL_OpenPGP);
        if (!error && !settings.GpgProgram.empty())
            error = gpgme_ctx_set_engine_info(context, GPGME_PROTOCOL_OpenPGP, settings.GpgProgram.c_str(),
                                              nullptr);
        if (error) {
            failure_ = ErrorText(error);
            context_.reset();
            return;
        }
        // Offline: gpg is told to leave dirmngr alone, so a key is never fetched, also when the
        // user's gpg.conf asks for auto-key-retrieve.
        gpgme_set_offline(context, 1);
        gpgme_io_cbs callbacks{&EventLoop::Add, &loop_, &EventLoop::Remove, &EventLoop::Event, &loop_};
        gpgme_set_io_cbs(context, &callbacks);
    }

    SignatureCheck Verify(std::string_view signature, const std::string_view* signedBytes)
    {
        if (!context_)
            return NotChecked("GnuPG could not be started: " + failure_);
        gpgme_error_t error = 0;
        Data signatureData = DataOver(signature, error);
        Data signedData;
        Data plain;
        if (!error && signedBytes)
            signedData = DataOver(*signedBytes, error);
        if (!error && !signedBytes) {
            gpgme_data_t output = nullptr;
            error = gpgme_data_new(&output);
            plain.reset(error ? nullptr : output);
        }
        if (!error)
            error = gpgme_op_verify_start(context_.get(), signatureData.get(), signedData.get(), plain.get());
        if (!error)
            error = Finish();
        if (timedOut_)
            return NotChecked("gpg gave no answer in time");
        gpgme_verify_result_t result = gpgme_op_verify_result(context_.get());
        if (!result || !result->signatures) {
            if (gpgme_err_code(error) == GPG_ERR_NO_DATA || !error)
                return NotChecked("no signature found");
            return NotChecked(ErrorText(error));
        }
        return Judged(result->signatures);
    }

private:
    // Runs the started operation to its end on an event loop of our own, so a gpg that never
    // answers is given up at the deadline instead of holding the program.
    gpgme_error_t Finish()
    {
        loop_.Done = false;
        loop_.Status = 0;
        while (!loop_.Done) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline_ - std::chrono::steady_clock::now());
            if (left.count() <= 0) {
                timedOut_ = true;
                gpgme_cancel(context_.get());
                return gpgme_error(GPG_ERR_TIMEOUT);
            }
            if (const gpgme_error_t error =
                    loop_.RunOnce(static_cast<int>(std::min<int64_t>(left.count(), 1000)))) {
                gpgme_cancel(context_.get());
                return error;
            }
        }
        return loop_.Status;
    }

    // What a verification result tells of one signature, copied out: the next operation on the
    // context (the key look-up) frees the result.
    struct Told {
        std::string Fingerprint;
        gpgme_error_t Status;
        gpgme_validity_t Validity;
    };

    // Any bad signature makes the text untrusted; else the best of them counts, so a list signed
    // by several keys is proved by the one the user has.
    SignatureCheck Judged(gpgme_signature_t signatures)
    {
        std::vector<Told> told;
        for (gpgme_signature_t signature = signatures; signature; signature = signature->next)
            told.push_back(
                Told{signature->fpr ? signature->fpr : "", signature->status, signature->validity});
        SignatureCheck best;
        for (size_t i = 0; i < told.size(); ++i) {
            SignatureCheck one = JudgedOne(told[i]);
            if (one.State == SignatureState::Bad)
                return one;
            if (i == 0 || Rank(one.State) > Rank(best.State))
                best = std::move(one);
        }
        if (SignatureIsGood(best.State) || best.State == SignatureState::ExpiredKey ||
            best.State == SignatureState::ExpiredSignature || best.State == SignatureState::RevokedKey)
            best.UserId = UserIdOf(best.Fingerprint);
        return best;
    }

    static SignatureCheck JudgedOne(const Told& signature)
    {
        SignatureCheck check;
        check.Fingerprint = signature.Fingerprint;
        std::transform(check.Fingerprint.begin(), check.Fingerprint.end(), check.Fingerprint.begin(),
                       [](char c) { return c >= 'a' && c <= 'f' ? static_cast<char>(c - 'a' + 'A') : c; });
        switch (gpgme_err_code(signature.Status)) {
        case GPG_ERR_NO_ERROR:
            check.State = signature.Validity >= GPGME_VALIDITY_FULL ? SignatureState::Good
                                                                    : SignatureState::GoodUncertified;
            break;
        case GPG_ERR_BAD_SIGNATURE: check.State = SignatureState::Bad; break;
        case GPG_ERR_NO_PUBKEY: check.State = SignatureState::NoPublicKey; break;
        case GPG_ERR_SIG_EXPIRED: check.State = SignatureState::ExpiredSignature; break;
        case GPG_ERR_KEY_EXPIRED: check.State = SignatureState::ExpiredKey; break;
        case GPG_ERR_CERT_REVOKED: check.State = SignatureState::RevokedKey; break;
        default:
            check.State = SignatureState::NotChecked;
            check.Reason = ErrorText(signature.Status);
            break;
        }
        return check;
    }

    // The key's first user ID from the keyring, under the same deadline.
    std::string UserIdOf(const std::string& fingerprint)
    {
        if (fingerprint.empty() || timedOut_)
            return {};
        gpgme_set_keylist_mode(context_.get(), GPGME_KEYLIST_MODE_LOCAL);
        loop_.FirstUserId.clear();
        if (gpgme_op_keylist_start(context_.get(), fingerprint.c_str(), 0) || Finish())
            return {};
        return loop_.FirstUserId;
    }

    std::chrono::steady_clock::time_point deadline_;
    EventLoop loop_;
    Context context_;
    std::string failure_;
    bool timedOut_ = false;
};

}  // namespace

bool SignatureIsGood(SignatureState state)
{
    return state == SignatureState::Good || state == SignatureState::GoodUncertified;
}

SignatureCheck WeakerSignature(const SignatureCheck& a, const SignatureCheck& b)
{
    return Rank(b.State) < Rank(a.State) ? b : a;
}

std::string GroupedFingerprint(std::string_view fingerprint)
{
    std::string grouped;
    for (size_t i = 0; i < fingerprint.size(); ++i) {
        if (i > 0 && i % 4 == 0)
            grouped.push_back(' ');
        grouped.push_back(fingerprint[i]);
    }
    return grouped;
}

SignatureCheck VerifyClearSignedBlock(std::string_view block, const SignatureSettings& settings)
{
    return Verification(settings).Verify(block, nullptr);
}

SignatureCheck VerifyDetachedSignature(std::string_view signature, std::string_view signedBytes,
                                       const SignatureSettings& settings)
{
    return Verification(settings).Verify(signature, &signedBytes);
}
