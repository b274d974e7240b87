// The buffering, padding and wiping that every engine shares. An engine states its constants and
// its compression in a traits class; TBlockHash does the rest, with the fields of the engine as
// its traits declare them.
//
// What a traits class provides is the concept BlockHashTraits below, so a missing or misnamed
// member is named in one error rather than deep inside TBlockHash.
//
// Full blocks of the caller's data are compressed where they lie; only the head and the tail of
// a message pass through BlockBuffer. Between calls the buffer is zero from BlockFill on, and
// after Final or Burn every field is zero.
#pragma once

#include "engines/DCPcrypt2.h"

#include <concepts>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string.h>
#include <type_traits>

template <class Traits>
concept BlockHashTraits = requires
{
    typename Traits::Fields;
}
&&requires(typename Traits::Fields& fields, decltype(Traits::Fields::ChainValue)& chain,
           const decltype(Traits::Fields::ChainValue)& finalChain, const uint8_t* blocks, size_t count,
           uint32_t bytes, uint8_t* digest)
{
    // The block and digest sizes in bytes, the byte that starts the padding, and the offset in
    // the last block from which the trailer (the length) is written.
    {
        Traits::BlockSize
        } -> std::convertible_to<size_t>;
    {
        Traits::DigestSize
        } -> std::convertible_to<size_t>;
    {
        Traits::PadByte
        } -> std::convertible_to<uint8_t>;
    {
        Traits::TrailerOffset
        } -> std::convertible_to<size_t>;
    requires Traits::TrailerOffset < Traits::BlockSize;
    // The engine's fields: the fill of the block buffer, the chaining value, the buffer of one
    // block and the bit count that CountBits keeps.
    {
        fields.BlockFill
        } -> std::convertible_to<size_t>;
    requires std::extent_v<decltype(Traits::Fields::BlockBuffer)>
    == Traits::BlockSize;
    {
        Traits::InitialValue
        } -> std::convertible_to<decltype(Traits::Fields::ChainValue)>;
    Traits::CountBits(fields, bytes);
    // Writes the length, and whatever else ends the message, from TrailerOffset on.
    Traits::WriteTrailer(fields);
    Traits::Compress(chain, blocks, count);
    Traits::WriteDigest(finalChain, digest);
};

template <BlockHashTraits Traits>
class TBlockHash : public TDCP_hash {
public:
    using Fields = typename Traits::Fields;

    // Every byte of a new engine's fields is zero, the padding between them too: F{} zeroes the
    // members only, and Clang leaves the padding as the memory had it.
    explicit TBlockHash(TComponent* owner = nullptr) : TDCP_hash(owner) { Wipe(); }
    ~TBlockHash() override
    {
        if (IsInitialized)
            Wipe();
    }

    void Burn() override
    {
        Wipe();
        IsInitialized = false;
    }

    void Update(const void* buffer, uint32_t size) override
    {
        if (!IsInitialized)
            RaiseNotInitialized();
        Traits::CountBits(F, size);
        auto* data = static_cast<const uint8_t*>(buffer);
        constexpr size_t B = Traits::BlockSize;
        // A full block never waits in the buffer; saying so lets the compiler see the copies
        // below stay inside it.
        if (F.BlockFill >= B)
            __builtin_unreachable();
        if (F.BlockFill != 0) {
            size_t room = B - F.BlockFill;
            if (size < room) {
                std::memcpy(F.BlockBuffer + F.BlockFill, data, size);
                F.BlockFill += size;
                return;
            }
            std::memcpy(F.BlockBuffer + F.BlockFill, data, room);
            CompressBuffer();
            data += room;
            size -= static_cast<uint32_t>(room);
        }
        size_t blocks = size / B;
        if (blocks != 0) {
            Traits::Compress(F.ChainValue, data, blocks);
            data += blocks * B;
            size -= static_cast<uint32_t>(blocks * B);
        }
        if (size != 0) {
            std::memcpy(F.BlockBuffer, data, size);
            F.BlockFill = size;
        }
    }

    std::span<const std::byte> FieldBytes() const override
    {
        return std::as_bytes(std::span<const Fields, 1>(&F, 1));
    }

    const Fields& State() const { return F; }

protected:
    void StartMessage(const decltype(Fields::ChainValue)& initialValue = Traits::InitialValue)
    {
        Burn();
        F.ChainValue = initialValue;
        IsInitialized = true;
    }

    // digestBytes below the traits' DigestSize keeps only the leading bytes (SHA-384).
    void FinishMessage(void* digest, size_t digestBytes = Traits::DigestSize)
    {
        if (!IsInitialized)
            RaiseNotInitialized();
        F.BlockBuffer[F.BlockFill] = Traits::PadByte;
        if (F.BlockFill >= Traits::TrailerOffset)
            CompressBuffer();
        Traits::WriteTrailer(F);
        CompressBuffer();
        if (digestBytes == Traits::DigestSize) {
            Traits::WriteDigest(F.ChainValue, static_cast<uint8_t*>(digest));
        } else {
            uint8_t full[Traits::DigestSize];
            Traits::WriteDigest(F.ChainValue, full);
            std::memcpy(digest, full, digestBytes);
            explicit_bzero(full, sizeof full);
        }
        Burn();
    }

private:
    void CompressBuffer()
    {
        Traits::Compress(F.ChainValue, F.BlockBuffer, 1);
        std::memset(F.BlockBuffer, 0, Traits::BlockSize);
        F.BlockFill = 0;
    }

    void Wipe() { explicit_bzero(&F, sizeof F); }

    Fields F{};
};

// The usual engine: Init loads the traits' initial value, Final writes the whole digest.
template <class Engine, BlockHashTraits Traits>
class TStandardHash : public TBlockHash<Traits> {
public:
    explicit TStandardHash(TComponent* owner = nullptr) : TBlockHash<Traits>(owner) {}
    const TDCP_hashClass& ClassType() const override { return HashClassOf<Engine>(); }
    void Init() override { this->StartMessage(); }
    void Final(void* digest) override { this->FinishMessage(digest); }
};

// The fields of every engine that counts message bits as two 32-bit halves, in their order.
template <class Chain, size_t BlockSize>
struct FieldsWithBitCountPair {
    uint32_t BitCountHi;
    uint32_t BitCountLo;
    uint32_t BlockFill;
    Chain ChainValue;
    uint8_t BlockBuffer[BlockSize];
};

// Bit counters as the engines keep them: exact, with the carry between the halves.
inline void CountBits64As32Pair(uint32_t& hi, uint32_t& lo, uint32_t bytes)
{
    hi += bytes >> 29;
    uint32_t bits = bytes << 3;
    lo += bits;
    if (lo < bits)
        ++hi;
}
inline void CountBits128As64Pair(uint64_t& hi, uint64_t& lo, uint32_t bytes)
{
    uint64_t bits = uint64_t(bytes) << 3;
    lo += bits;
    if (lo < bits)
        ++hi;
}
