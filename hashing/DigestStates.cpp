#include "hashing/DigestStates.h"

#include "checksums/CRC32_FCS32.h"
#include "checksums/md5.h"
#include "engines/Blake2b.h"
#include "engines/Blake3.h"
#include "engines/DCPhaval.h"
#include "engines/DCPmd4.h"
#include "engines/DCPripemd128.h"
#include "engines/DCPripemd160.h"
#include "engines/DCPsha1.h"
#include "engines/DCPsha256.h"
#include "engines/DCPsha512.h"
#include "engines/DCPtiger.h"
#include "hashing/LibraryDigests.h"

#include <algorithm>
#include <limits>

namespace {

class Md5State : public DigestState {
public:
    Md5State() { Md5Start(context_); }
    bool Restart() override
    {
        Md5Start(context_);
        return true;
    }
    void Feed(const uint8_t* data, size_t size) override
    {
        // The routines count in 32-bit pieces; blocks of the engine are far below that anyway.
        while (size > 0) {
            const size_t piece = std::min<size_t>(size, std::numeric_limits<uint32_t>::max() & ~size_t{63});
            Md5Feed(context_, data, static_cast<uint32_t>(piece));
            data += piece;
            size -= piece;
        }
    }
    std::vector<uint8_t> Finish() override
    {
        Md5Digest digest;
        Md5Finish(context_, digest);
        return {digest.begin(), digest.end()};
    }

private:
    Md5Context context_;
};

class Crc32State : public DigestState {
public:
    void Feed(const uint8_t* data, size_t size) override { reg_ = Crc32Update(reg_, data, size); }
    bool Restart() override
    {
        reg_ = 0xFFFFFFFFu;
        return true;
    }
    std::vector<uint8_t> Finish() override
    {
        const uint32_t crc = reg_ ^ 0xFFFFFFFFu;
        return {static_cast<uint8_t>(crc >> 24), static_cast<uint8_t>(crc >> 16),
                static_cast<uint8_t>(crc >> 8), static_cast<uint8_t>(crc)};
    }

private:
    uint32_t reg_ = 0xFFFFFFFFu;
};

template <class Engine>
class EngineState : public DigestState {
public:
    EngineState() { engine_.Init(); }
    bool Restart() override
    {
        engine_.Init();
        return true;
    }
    void Feed(const uint8_t* data, size_t size) override
    {
        while (size > 0) {
            const size_t piece = std::min<size_t>(size, std::numeric_limits<uint32_t>::max() & ~size_t{127});
            engine_.Update(data, static_cast<uint32_t>(piece));
            data += piece;
            size -= piece;
        }
    }
    std::vector<uint8_t> Finish() override
    {
        std::vector<uint8_t> digest(static_cast<size_t>(Engine::GetHashSize()) / 8);
        engine_.Final(digest.data());
        return digest;
    }

private:
    Engine engine_;
};

class Blake2bState : public DigestState {
public:
    explicit Blake2bState(size_t digestBytes) : hasher_(digestBytes) {}
    void Feed(const uint8_t* data, size_t size) override { hasher_.Update(data, size); }
    bool Restart() override
    {
        hasher_ = Blake2b(hasher_.DigestBytes());
        return true;
    }
    std::vector<uint8_t> Finish() override
    {
        std::vector<uint8_t> digest(hasher_.DigestBytes());
        hasher_.Finish(digest.data());
        return digest;
    }

private:
    Blake2b hasher_;
};

class Blake3State : public DigestState, public DigestParts {
public:
    void Feed(const uint8_t* data, size_t size) override { hasher_.Update(data, size); }
    std::vector<uint8_t> Finish() override
    {
        std::vector<uint8_t> digest(32);
        hasher_.Finish(digest.data(), digest.size());
        return digest;
    }
    DigestParts* Parts() override { return this; }
    bool Restart() override
    {
        hasher_ = Blake3();
        return true;
    }

    bool Apart(uint64_t offset, size_t size) const override { return Blake3::IsPart(offset, size); }
    void MakeSlots(size_t count) override { slots_ = std::make_unique<Blake3Part[]>(count); }
    void HashApart(size_t slot, const uint8_t* data, uint64_t offset, size_t size) override
    {
        Blake3::HashPart(data, offset, size, slots_[slot]);
    }
    void Take(size_t slot) override { hasher_.TakePart(slots_[slot]); }

private:
    Blake3 hasher_;
    std::unique_ptr<Blake3Part[]> slots_;
};

}  // namespace

std::unique_ptr<DigestState> StartDigest(DigestAlgorithm algorithm, size_t blake2bBytes)
{
    switch (algorithm) {
    case DigestAlgorithm::MD5: return std::make_unique<Md5State>();
    case DigestAlgorithm::CRC32: return std::make_unique<Crc32State>();
    case DigestAlgorithm::SHA1: return std::make_unique<EngineState<TDCP_sha1>>();
    case DigestAlgorithm::Haval256: return std::make_unique<EngineState<TDCP_haval>>();
    case DigestAlgorithm::MD4: return std::make_unique<EngineState<TDCP_md4>>();
    case DigestAlgorithm::RipeMD128: return std::make_unique<EngineState<TDCP_ripemd128>>();
    case DigestAlgorithm::RipeMD160: return std::make_unique<EngineState<TDCP_ripemd160>>();
    case DigestAlgorithm::SHA256: return std::make_unique<EngineState<TDCP_sha256>>();
    case DigestAlgorithm::SHA384: return std::make_unique<EngineState<TDCP_sha384>>();
    case DigestAlgorithm::SHA512: return std::make_unique<EngineState<TDCP_sha512>>();
    case DigestAlgorithm::Tiger192: return std::make_unique<EngineState<TDCP_tiger>>();
    case DigestAlgorithm::SHA224: return std::make_unique<EngineState<TDCP_sha224>>();
    case DigestAlgorithm::Blake2b: return std::make_unique<Blake2bState>(blake2bBytes);
    case DigestAlgorithm::Blake3: return std::make_unique<Blake3State>();
    default: return StartLibraryDigest(algorithm);
    }
}
