#include <Lumo/Objects/AutoPtr.h>
#include <Lumo/Objects/ClassRegistry.h>
#include <Lumo/Objects/SharedMatrix.h>

#include <gtest/gtest.h>

using namespace Lumo::Objects;

TEST(ClassRegistryTest, ChainRunsFromTheObjectsClassToTheRoot) {
    AutoPtr<SharedMatrix> m = SharedMatrix::Make();
    std::vector<UString*> chain = ClassRegistry::Chain(m.get());
    ASSERT_EQ(chain.size(), 4u);
    EXPECT_EQ(chain[0], Intern(L"SharedMatrix"));
    EXPECT_EQ(chain[1], Intern(L"ADevMatrix"));
    EXPECT_EQ(chain[2], Intern(L"ARefCounted"));
    EXPECT_EQ(chain[3], Intern(L"IBaseInterface"));

    EXPECT_TRUE(ClassRegistry::DerivesFrom(m->ClassName(), Intern(L"ARefCounted")));
    EXPECT_FALSE(ClassRegistry::DerivesFrom(Intern(L"ADevMatrix"), Intern(L"SharedMatrix")));
    EXPECT_TRUE(ClassRegistry::Chain(Intern(L"NeverRegisteredClass")).size() == 1u);
    EXPECT_TRUE(ClassRegistry::Chain(static_cast<const IBaseInterface*>(nullptr)).empty());
}
