// Entry point shared by the test programs.
#include <gtest/gtest.h>
#include <windows.h>

int main(int argc, char** argv) {
  // Failure messages carry Korean text; make the console show it.
  SetConsoleOutputCP(CP_UTF8);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
