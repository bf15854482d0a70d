#include <Lumo/Objects/AutoPtr.h>
#include <Lumo/Objects/SharedMatrix.h>

#include <gtest/gtest.h>

using namespace Lumo::Objects;

TEST(SharedMatrixTest, TracksIdentityAndAnswersItsInterfaces) {
    AutoPtr<SharedMatrix> m(SharedMatrix::Make());
    EXPECT_TRUE(m->IsIdentity());
    EXPECT_TRUE(m->Matrix().IsIdentity());

    const auto moved = mat4<float>::Translation(vec3<float>(1, 2, 3));
    m->Matrix(moved);
    EXPECT_FALSE(m->IsIdentity());
    EXPECT_TRUE(m->Matrix() == moved);
    m->Matrix(mat4<float>());
    EXPECT_TRUE(m->IsIdentity());
    EXPECT_FALSE(AutoPtr<SharedMatrix>(SharedMatrix::Make(moved))->IsIdentity());

    ADevMatrix* dev = m.get();
    EXPECT_EQ(dev->ClassName(), Intern(L"SharedMatrix"));
    EXPECT_EQ(m->GetInterface(Intern(L"ADevMatrix")), static_cast<void*>(dev));
    EXPECT_EQ(m->GetInterface(Intern(L"SharedMatrix")), static_cast<void*>(m.get()));
    EXPECT_NE(m->GetInterface(Intern(L"ARefCounted")), nullptr);
    EXPECT_NE(m->GetInterface(Intern(L"IBaseInterface")), nullptr);
    EXPECT_EQ(m->GetInterface(Intern(L"GroupNode")), nullptr);
    EXPECT_EQ(QueryInterface<SharedMatrix>(dev), m.get());
}
