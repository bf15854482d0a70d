#include "Probe.h"

#include <Lumo/Objects/AutoPtr.h>
#include <Lumo/Objects/ClassFactory.h>
#include <Lumo/Objects/UString.h>

#include <gtest/gtest.h>

using namespace Lumo::Objects;
using LumoTest::Probe;

TEST(ClassFactoryTest, CreatesRegisteredClassesByName) {
    ClassFactory& f = ClassFactory::Get();
    EXPECT_EQ(&f, &ClassFactory::Get());
    UString* name = Intern(L"ClassFactoryTest.Widget");
    UString* unknown = Intern(L"ClassFactoryTest.Unknown");

    EXPECT_FALSE(f.IsRegistered(name));
    EXPECT_EQ(f.Create(name), nullptr);
    EXPECT_EQ(f.Create(unknown), nullptr);

    std::atomic<int> deaths{0};
    int made = 0;
    f.Register(name, [&] {
        ++made;
        return new Probe(&deaths);
    });
    EXPECT_TRUE(f.IsRegistered(InternUtf8("ClassFactoryTest.Widget")));
    EXPECT_FALSE(f.IsRegistered(unknown));
    AutoPtr<ARefCounted> a(f.Create(name)), b(f.Create(name));
    ASSERT_NE(a.get(), nullptr);
    EXPECT_NE(a.get(), b.get()); // a new object each time
    EXPECT_EQ(a->RefCount(), 1); // born uncounted; the caller takes the reference
    EXPECT_EQ(made, 2);

    // Re-registering replaces the creator.
    f.Register(name, [&] { return static_cast<ARefCounted*>(nullptr); });
    EXPECT_EQ(f.Create(name), nullptr);
    EXPECT_TRUE(f.IsRegistered(name));

    f.Unregister(name);
    EXPECT_FALSE(f.IsRegistered(name));
    EXPECT_EQ(f.Create(name), nullptr);
    f.Unregister(name); // unregistering twice is harmless

    f.Register(name, nullptr); // a null creator unregisters as well
    EXPECT_FALSE(f.IsRegistered(name));
    EXPECT_EQ(made, 2);
}

TEST(ClassFactoryTest, CreatorMayUseTheFactory) {
    // A creator that registers or creates other classes must not deadlock.
    ClassFactory& f = ClassFactory::Get();
    UString* outer = Intern(L"ClassFactoryTest.Outer");
    UString* inner = Intern(L"ClassFactoryTest.Inner");
    f.Register(outer, [&] {
        f.Register(inner, [] { return new Probe; });
        return ClassFactory::Get().Create(inner);
    });
    AutoPtr<ARefCounted> made(f.Create(outer));
    EXPECT_NE(made.get(), nullptr);
    EXPECT_TRUE(f.IsRegistered(inner));
    f.Unregister(outer);
    f.Unregister(inner);
}
