#include "hashing/LibraryDigests.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>
// The layout of the states, so that an XXH64 state lives in its object.
#define XXH_STATIC_LINKING_ONLY
#include <xxhash.h>
// The updates that pick the widest vectors this CPU runs: the plain ones are built for any x86-64
// (SSE2) and take a third of the time of a large file in the page cache, xxhsum's own a twentieth.
// Called by their names: the header's renaming macros would also rename DigestAlgorithm::XXH128.
#define XXH_DISPATCH_DISABLE_REPLACE
#include <xxh_x86dispatch.h>

#include <stdexcept>

namespace {

// libcrypto looks an algorithm up by name on every implicit use; one lookup per program keeps
// a small file's cost at its hashing. They are freed at exit before libcrypto's own cleanup,
// which was registered earlier, during the first lookup.
class FetchedDigests {
public:
    FetchedDigests()
        : sha3_224_(Fetch("SHA3-224")), sha3_256_(Fetch("SHA3-256")), sha3_384_(Fetch("SHA3-384")),
          sha3_512_(Fetch("SHA3-512")), blake2s_(Fetch("BLAKE2S-256")), sm3_(Fetch("SM3"))
    {
    }
    const EVP_MD* Of(DigestAlgorithm algorithm) const
    {
        switch (algorithm) {
        case DigestAlgorithm::SHA3_224: return sha3_224_.get();
        case DigestAlgorithm::SHA3_256: return sha3_256_.get();
        case DigestAlgorithm::SHA3_384: return sha3_384_.get();
        case DigestAlgorithm::SHA3_512: return sha3_512_.get();
        case DigestAlgorithm::Blake2s: return blake2s_.get();
        case DigestAlgorithm::SM3: return sm3_.get();
        default: return nullptr;
        }
    }

private:
    struct Free {
        void operator()(EVP_MD* md) const { EVP_MD_free(md); }
    };
    using Fetched = std::unique_ptr<EVP_MD, Free>;
    static Fetched Fetch(const char* name) { return Fetched(EVP_MD_fetch(nullptr, name, nullptr)); }

    Fetched sha3_224_, sha3_256_, sha3_384_, sha3_512_, blake2s_, sm3_;
};

const EVP_MD* FetchedOnce(DigestAlgorithm algorithm)
{
    // libcrypto's own exit cleanup would free its per-thread state while a hashing worker, left
    // to run as the program ends, frees the same state on its way out: a double free. The system
    // takes back the memory of an ending program anyway.
    static const FetchedDigests fetched = [] {
        OPENSSL_init_crypto(OPENSSL_INIT_NO_ATEXIT, nullptr);
        return FetchedDigests();
    }();
    return fetched.Of(algorithm);
}

class EvpState : public DigestState {
public:
    explicit EvpState(const EVP_MD* md) : context_(EVP_MD_CTX_new())
    {
        if (!context_ || !md || EVP_DigestInit_ex(context_.get(), md, nullptr) != 1)
            throw std::runtime_error("libcrypto cannot start a digest");
    }
    void Feed(const uint8_t* data, size_t size) override { EVP_DigestUpdate(context_.get(), data, size); }
    std::vector<uint8_t> Finish() override
    {
        std::vector<uint8_t> digest(static_cast<size_t>(EVP_MD_CTX_get_size(context_.get())));
        unsigned int length = 0;
        EVP_DigestFinal_ex(context_.get(), digest.data(), &length);
        digest.resize(length);
        return digest;
    }

private:
    struct Free {
        void operator()(EVP_MD_CTX* context) const { EVP_MD_CTX_free(context); }
    };
    std::unique_ptr<EVP_MD_CTX, Free> context_;
};

// XXH64 and XXH3 as xxhsum prints them: the canonical, most significant byte first.
template <class Canonical>
std::vector<uint8_t> CanonicalBytes(const Canonical& canonical)
{
    return {canonical.digest, canonical.digest + sizeof canonical.digest};
}

class Xxh64State : public DigestState {
public:
    Xxh64State() { XXH64_reset(&state_, 0); }
    void Feed(const uint8_t* data, size_t size) override { XXH64_update(&state_, data, size); }
    std::vector<uint8_t> Finish() override
    {
        XXH64_canonical_t canonical;
        XXH64_canonicalFromHash(&canonical, XXH64_digest(&state_));
        return CanonicalBytes(canonical);
    }

private:
    XXH64_state_t state_{};
};

template <bool Wide>
class Xxh3State : public DigestState {
public:
    Xxh3State() : state_(XXH3_createState())
    {
        if (!state_)
            throw std::bad_alloc();
        if constexpr (Wide)
            XXH3_128bits_reset(state_.get());
        else
            XXH3_64bits_reset(state_.get());
    }
    void Feed(const uint8_t* data, size_t size) override
    {
        if constexpr (Wide)
            XXH3_128bits_update_dispatch(state_.get(), data, size);
        else
            XXH3_64bits_update_dispatch(state_.get(), data, size);
    }
    std::vector<uint8_t> Finish() override
    {
        if constexpr (Wide) {
            XXH128_canonical_t canonical;
            XXH128_canonicalFromHash(&canonical, XXH3_128bits_digest(state_.get()));
            return CanonicalBytes(canonical);
        } else {
            XXH64_canonical_t canonical;
            XXH64_canonicalFromHash(&canonical, XXH3_64bits_digest(state_.get()));
            return CanonicalBytes(canonical);
        }
    }

private:
    // XXH3's state must be aligned beyond what new gives; the library allocates it itself.
    struct Free {
        void operator()(XXH3_state_t* state) const { XXH3_freeState(state); }
    };
    std::unique_ptr<XXH3_state_t, Free> state_;
};

}  // namespace

std::unique_ptr<DigestState> StartLibraryDigest(DigestAlgorithm algorithm)
{
    switch (algorithm) {
    case DigestAlgorithm::XXH64: return std::make_unique<Xxh64State>();
    case DigestAlgorithm::XXH3: return std::make_unique<Xxh3State<false>>();
    case DigestAlgorithm::XXH128: return std::make_unique<Xxh3State<true>>();
    default:
        if (const EVP_MD* md = FetchedOnce(algorithm))
            return std::make_unique<EvpState>(md);
        return nullptr;
    }
}
