// Checks shared by the MD5 and RIPEMD engine tests: agreement with an independent digest on
// random messages, and exact bit counts past the low counter word.
#pragma once

#include "tests/support/Oracle.h"

#include <gcrypt.h>
#include <gtest/gtest.h>
#include <sys/mman.h>

#include <functional>

using OracleDigest = std::function<Bytes(const Bytes&)>;

// Every length 0..300 (so every fill of the last block and every place of the pad), then a few
// messages of several MiB fed in random pieces.
inline void ExpectAgreesOnRandomMessages(TDCP_hash& engine, const OracleDigest& oracle, uint64_t seed)
{
    std::mt19937_64 rng(seed);
    for (size_t length = 0; length <= 300; ++length) {
        Bytes message = RandomBytes(rng, length);
        ASSERT_EQ(Hex(EngineDigest(engine, message)), Hex(oracle(message))) << "length " << length;
    }
    for (size_t length : {size_t(3) << 20, (size_t(4) << 20) + 1, (size_t(6) << 20) + 63}) {
        Bytes message = RandomBytes(rng, length);
        ASSERT_EQ(Hex(EngineDigestInPieces(engine, message, 64, rng)), Hex(oracle(message)))
            << "length " << length;
    }
}

// A message of more than 2^32 bits (512 MiB), fed so that both ways into the high half of the
// bit count are taken: one Update of more than 512 MiB (its size shifted right by 29), then one
// of just under 512 MiB whose bits overflow the low half (the carry). The bulk is read-only
// zero pages, so it costs no memory; random bytes around it keep the block buffer in the game.
inline void ExpectCountsPastTheLowWord(TDCP_hash& engine, int gcryptAlgorithm)
{
    const size_t halfGigabit = size_t(1) << 29;
    const size_t pieces[] = {halfGigabit + 1, halfGigabit - 1};
    void* zeros = mmap(nullptr, pieces[0], PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    ASSERT_NE(zeros, MAP_FAILED);
    std::mt19937_64 rng(99);
    Bytes head = RandomBytes(rng, 5), tail = RandomBytes(rng, 70);

    gcry_md_hd_t reference;
    ASSERT_EQ(gcry_md_open(&reference, gcryptAlgorithm, 0), 0u);
    gcry_md_write(reference, head.data(), head.size());
    for (size_t piece : pieces)
        gcry_md_write(reference, zeros, piece);
    gcry_md_write(reference, tail.data(), tail.size());
    const uint8_t* referenceDigest = gcry_md_read(reference, gcryptAlgorithm);
    Bytes expected(referenceDigest, referenceDigest + gcry_md_get_algo_dlen(gcryptAlgorithm));
    gcry_md_close(reference);

    Bytes digest(engine.HashSize() / 8);
    engine.Init();
    engine.Update(head.data(), static_cast<uint32_t>(head.size()));
    for (size_t piece : pieces)
        engine.Update(zeros, static_cast<uint32_t>(piece));
    engine.Update(tail.data(), static_cast<uint32_t>(tail.size()));
    engine.Final(digest.data());
    munmap(zeros, pieces[0]);
    EXPECT_EQ(Hex(digest), Hex(expected));
}
