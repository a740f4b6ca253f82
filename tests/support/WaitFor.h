#pragma once

#include <QTest>

// QTest's QTRY_ macros report to QTest, which a GoogleTest run never reads: a wait that ran out
// would pass. These wait the same way and fail the GoogleTest case.
#define EXPECT_SOON(condition, timeoutMs)                                                                              \
    EXPECT_TRUE(QTest::qWaitFor([&] { return static_cast<bool>(condition); }, timeoutMs))                              \
        << "still not true after " << (timeoutMs) << " ms: " #condition
#define ASSERT_SOON(condition, timeoutMs)                                                                              \
    ASSERT_TRUE(QTest::qWaitFor([&] { return static_cast<bool>(condition); }, timeoutMs))                              \
        << "still not true after " << (timeoutMs) << " ms: " #condition
