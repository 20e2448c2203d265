// Entry point of every GoogleTest executable: the thread is a user-interface thread with OLE, as
// in the program.
#include <windows.h>
#include <ole2.h>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    HRESULT hr = ::OleInitialize(nullptr);
    int result = RUN_ALL_TESTS();
    if (SUCCEEDED(hr))
        ::OleUninitialize();
    return result;
}
