#include <QApplication>
#include <cstring>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    // Test discovery only lists the tests; it must not need a display.
    bool listOnly = false;
    for (int i = 1; i < argc; ++i)
    {
        listOnly = listOnly || std::strcmp(argv[i], "--gtest_list_tests") == 0;
    }
    ::testing::InitGoogleTest(&argc, argv);
    if (listOnly)
    {
        return RUN_ALL_TESTS();
    }
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
