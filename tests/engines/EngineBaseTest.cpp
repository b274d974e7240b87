#include "engines/DCPcrypt2.h"
#include "tests/support/Oracle.h"

#include <gtest/gtest.h>

TEST(EngineBase, TheBaseHasNoAlgorithmAndDoesNothing)
{
    TDCP_hash base;
    EXPECT_EQ(base.Id(), -1);
    EXPECT_EQ(base.HashSize(), -1);
    EXPECT_EQ(base.Algorithm(), "");
    EXPECT_FALSE(TDCP_hash::SelfTest());
    uint8_t digest[4] = {1, 2, 3, 4};
    EXPECT_NO_THROW(base.Update(digest, 4));
    EXPECT_NO_THROW(base.Final(digest));
    base.Init();
    base.Burn();
    EXPECT_FALSE(base.Initialized());
    EXPECT_EQ(digest[0], 1);
    EXPECT_TRUE(base.FieldBytes().empty());
}

TEST(EngineBase, OwnerListsComponentsInCreationOrderAndDestroysThem)
{
    struct Tracked : TComponent {
        Tracked(TComponent* owner, std::vector<int>* log, int id) : TComponent(owner), log_(log), id_(id) {}
        ~Tracked() override { log_->push_back(id_); }
        std::vector<int>* log_;
        int id_;
    };
    std::vector<int> destroyed;
    {
        TComponent owner;
        auto* a = new Tracked(&owner, &destroyed, 1);
        auto* b = new Tracked(&owner, &destroyed, 2);
        auto* c = new Tracked(&owner, &destroyed, 3);
        ASSERT_EQ(owner.Components(), (std::vector<TComponent*>{a, b, c}));
        EXPECT_EQ(b->Owner(), &owner);
        delete b;  // leaves its owner's list at once
        EXPECT_EQ(owner.Components(), (std::vector<TComponent*>{a, c}));
    }
    EXPECT_EQ(destroyed, (std::vector<int>{2, 3, 1}));
}
