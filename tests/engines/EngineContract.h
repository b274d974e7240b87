// What every engine must do, whatever its algorithm: the two states, the wipe, the class
// constants, split invariance. Each engine's test file instantiates it with its class:
//   INSTANTIATE_TYPED_TEST_SUITE_P(Md4, EngineContract, TDCP_md4);
#pragma once

#include "tests/support/Oracle.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

template <class Engine>
class EngineContract : public ::testing::Test {
};

// Counts the Burn calls that reach the engine, to see what destruction does.
template <class Engine>
struct BurnCounting : Engine {
    explicit BurnCounting(TComponent* owner, int* burns) : Engine(owner), burns_(burns) {}
    void Burn() override
    {
        ++*burns_;
        Engine::Burn();
    }
    int* burns_;
};

template <class Engine>
void ExpectNotInitialized(TDCP_hash& e)
{
    EXPECT_FALSE(e.Initialized());
    EXPECT_TRUE(AllZero(e.FieldBytes()));
}

template <class Engine>
size_t BlockSizeOf()
{
    Engine e;
    return sizeof(e.State().BlockBuffer);
}

TYPED_TEST_SUITE_P(EngineContract);

TYPED_TEST_P(EngineContract, RefusesUpdateAndFinalBeforeInitAndAfterFinal)
{
    TypeParam e;
    uint8_t byte = 0x61;
    std::vector<uint8_t> digest(TypeParam::GetHashSize() / 8);
    for (uint32_t size : {0u, 1u}) {
        try {
            e.Update(&byte, size);
            FAIL() << "Update before Init did not raise";
        } catch (const EDCP_hash& error) {
            EXPECT_STREQ(error.what(), "Hash not initialized");
        }
    }
    EXPECT_THROW(e.Final(digest.data()), EDCP_hash);
    ExpectNotInitialized<TypeParam>(e);

    e.Init();
    e.Update(&byte, 1);
    e.Final(digest.data());
    std::vector<uint8_t> before = digest;
    EXPECT_THROW(e.Final(digest.data()), EDCP_hash);
    EXPECT_THROW(e.Update(&byte, 0), EDCP_hash);
    EXPECT_EQ(digest, before) << "a refused Final wrote the digest buffer";
}

TYPED_TEST_P(EngineContract, WipesEveryFieldAfterFinalAndBurn)
{
    std::mt19937_64 rng(7);
    TypeParam e;
    const size_t block = BlockSizeOf<TypeParam>();
    std::vector<uint8_t> digest(TypeParam::GetHashSize() / 8);
    for (size_t length : {size_t(0), size_t(1), block - 1, block, block + 3, 3 * block + 17}) {
        Bytes message = RandomBytes(rng, length);
        e.Init();
        e.Update(message.data(), static_cast<uint32_t>(message.size()));
        EXPECT_EQ(e.State().BlockFill, length % block);
        for (size_t i = e.State().BlockFill; i < block; ++i)
            ASSERT_EQ(e.State().BlockBuffer[i], 0) << "buffer not zero past the fill at " << i;
        e.Final(digest.data());
        ExpectNotInitialized<TypeParam>(e);

        e.Init();
        e.Update(message.data(), static_cast<uint32_t>(message.size()));
        e.Burn();
        ExpectNotInitialized<TypeParam>(e);
    }
    e.Burn();  // Burn on an engine that holds nothing is fine too
    ExpectNotInitialized<TypeParam>(e);
}

TYPED_TEST_P(EngineContract, InitRestartsAndEmptyUpdatesChangeNothing)
{
    std::mt19937_64 rng(11);
    TypeParam e;
    Bytes first = RandomBytes(rng, 200), second = RandomBytes(rng, 77);
    Bytes expected = EngineDigest(e, second);

    std::vector<uint8_t> digest(TypeParam::GetHashSize() / 8);
    e.Init();
    e.Update(first.data(), static_cast<uint32_t>(first.size()));
    e.Init();
    e.Update(second.data(), 10);
    std::vector<std::byte> fields(e.FieldBytes().begin(), e.FieldBytes().end());
    e.Update(second.data() + 10, 0);
    EXPECT_TRUE(std::equal(fields.begin(), fields.end(), e.FieldBytes().begin()));
    e.Update(second.data() + 10, static_cast<uint32_t>(second.size() - 10));
    e.Final(digest.data());
    EXPECT_EQ(digest, expected);
}

TYPED_TEST_P(EngineContract, DigestDoesNotDependOnHowTheMessageIsSplit)
{
    std::mt19937_64 rng(0x5eed);
    TypeParam e;
    const size_t block = BlockSizeOf<TypeParam>();
    for (size_t length = 0; length <= 300; ++length) {
        Bytes message = RandomBytes(rng, length);
        Bytes whole = EngineDigest(e, message);
        ASSERT_EQ(EngineDigestInPieces(e, message, block, rng), whole) << "length " << length;
        Bytes byteByByte(whole.size());
        e.Init();
        for (uint8_t b : message)
            e.Update(&b, 1);
        e.Final(byteByByte.data());
        ASSERT_EQ(byteByByte, whole) << "length " << length;
    }
}

TYPED_TEST_P(EngineContract, KeepsItsClassConstants)
{
    TypeParam e;
    const int32_t id = e.Id();
    const std::string algorithm = e.Algorithm();
    const int32_t size = e.HashSize();
    EXPECT_EQ(id, TypeParam::GetId());
    EXPECT_EQ(algorithm, TypeParam::GetAlgorithm());
    EXPECT_EQ(size, TypeParam::GetHashSize());
    e.SetId(0);
    e.SetAlgorithm("anything");
    e.SetHashSize(1);
    EXPECT_EQ(e.Id(), id);
    EXPECT_EQ(e.Algorithm(), algorithm);
    EXPECT_EQ(e.HashSize(), size);
    const TDCP_hash& base = e;
    EXPECT_EQ(base.ClassType().GetId(), id);
    EXPECT_TRUE(TypeParam::SelfTest());
}

TYPED_TEST_P(EngineContract, DestructionBurnsOnlyAnInitializedEngine)
{
    int burnsOfIdle = 0, burnsOfBusy = 0;
    {
        TComponent owner;
        new BurnCounting<TypeParam>(&owner, &burnsOfIdle);
        auto* busy = new BurnCounting<TypeParam>(&owner, &burnsOfBusy);
        busy->Init();
        burnsOfBusy = 0;  // Init burns too; count only what destruction does
        uint8_t byte = 1;
        busy->Update(&byte, 1);
        EXPECT_EQ(owner.Components().size(), 2u);
    }
    EXPECT_EQ(burnsOfIdle, 0);
    EXPECT_EQ(burnsOfBusy, 1);
}

REGISTER_TYPED_TEST_SUITE_P(EngineContract, RefusesUpdateAndFinalBeforeInitAndAfterFinal,
                            WipesEveryFieldAfterFinalAndBurn, InitRestartsAndEmptyUpdatesChangeNothing,
                            DigestDoesNotDependOnHowTheMessageIsSplit, KeepsItsClassConstants,
                            DestructionBurnsOnlyAnInitializedEngine);
