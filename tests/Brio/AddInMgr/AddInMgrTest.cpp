#include <Brio/AddInMgr/AddInMgr.h>

#include <gtest/gtest.h>

using Brio::AddInMgr;

TEST(AddInMgrTest, KnowsWhichAddInsAreCore) {
    AddInMgr& addIns = AddInMgr::get();
    EXPECT_FALSE(addIns.isKnown("Sketch"));
    EXPECT_FALSE(addIns.isCoreAddIn("Sketch")) << "an unknown add-in is not core";
    EXPECT_TRUE(addIns.registerAddIn("Sketch", false));
    EXPECT_TRUE(addIns.registerAddIn("Core", true));
    EXPECT_FALSE(addIns.registerAddIn("Sketch", true)) << "a known add-in keeps what it was";
    EXPECT_FALSE(addIns.registerAddIn("", true));
    EXPECT_TRUE(addIns.isKnown("Sketch"));
    EXPECT_FALSE(addIns.isCoreAddIn("Sketch"));
    EXPECT_TRUE(addIns.isCoreAddIn("Core"));
    EXPECT_EQ(addIns.addInIds(), (std::vector<std::string>{"Core", "Sketch"}));
    EXPECT_TRUE(addIns.unregisterAddIn("Core"));
    EXPECT_FALSE(addIns.unregisterAddIn("Core"));
    EXPECT_FALSE(addIns.isCoreAddIn("Core"));
    addIns.unregisterAddIn("Sketch");
}
