#include <Brio/Base/Status.h>

#include <gtest/gtest.h>

using Brio::Status;

TEST(StatusTest, FactoriesSetSeverityCodeAndMessage) {
    const Status ok = Status::success();
    EXPECT_TRUE(ok.isSuccess());
    EXPECT_FALSE(ok.failed());
    EXPECT_EQ(ok.severity(), Status::eSuccess);
    EXPECT_EQ(ok.code(), 0);
    EXPECT_EQ(ok, Status());

    const Status warn = Status::warning(12, L"partial import");
    EXPECT_TRUE(warn.isWarning());
    EXPECT_FALSE(warn.isSuccess());
    EXPECT_FALSE(warn.failed()); // a warning still produced its result
    EXPECT_EQ(warn.code(), 12);
    EXPECT_EQ(warn.message(), L"partial import");

    const Status err = Status::error(-3, L"file not found");
    EXPECT_TRUE(err.isError());
    EXPECT_TRUE(err.failed());
    EXPECT_EQ(err.severity(), Status::eError);
    EXPECT_EQ(static_cast<int>(Status::eWarning), 1);
    EXPECT_NE(err, Status::error(-3, L"other"));
}
