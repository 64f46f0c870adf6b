// Quoting, the model rule and the environment handed to VS Code.
#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>

#include <memory>
#include <string>
#include <vector>

#include "vscode/command_line.h"
#include "vscode/file_uri.h"

namespace {

using vscode::QuoteArgument;

TEST(VsCodeCommandLine, QuotedArgumentsParseBackUnchanged) {
  struct Case {
    const wchar_t* text;
    const wchar_t* quoted;
  };
  const Case cases[] = {
      {L"", L"\"\""},
      {L"plain", L"\"plain\""},
      {L"C:\\Program Files\\Code.exe", L"\"C:\\Program Files\\Code.exe\""},
      {L"D:\\", L"\"D:\\\\\""},
      {L"a\\\\", L"\"a\\\\\\\\\""},
      {L"say \"hi\"", L"\"say \\\"hi\\\"\""},
      {L"a\\\"b", L"\"a\\\\\\\"b\""},
      {L"a\\\\\"b", L"\"a\\\\\\\\\\\"b\""},
      {L"a\\b c", L"\"a\\b c\""},
  };
  for (const auto& c : cases) {
    std::wstring quoted = QuoteArgument(c.text);
    EXPECT_EQ(quoted, c.quoted) << c.text;
    // What the C runtime's parser makes of it is the text itself.
    std::wstring line = L"prog.exe " + quoted + L" next";
    int count = 0;
    std::unique_ptr<wchar_t*, decltype(&LocalFree)> argv(CommandLineToArgvW(line.c_str(), &count), &LocalFree);
    ASSERT_EQ(count, 3) << line;
    EXPECT_EQ(std::wstring(argv.get()[1]), c.text) << line;
    EXPECT_EQ(std::wstring(argv.get()[2]), L"next") << line;
  }
}

TEST(VsCodeCommandLine, OnlyPlainModelNamesArePassed) {
  for (const wchar_t* model : {L"claude-sonnet-4", L"claude-3.5_sonnet", L"Opus4"}) {
    EXPECT_TRUE(vscode::IsPassableModel(model)) << model;
  }
  for (const wchar_t* model : {L"", L"claude sonnet", L"x;y", L"a\"b", L"opus\n", L"모델", L"a=b", L"%PATH%"}) {
    EXPECT_FALSE(vscode::IsPassableModel(model)) << model;
  }
}

TEST(VsCodeCommandLine, EnvironmentDropsVsCodeVariablesAndSortsIgnoringCase) {
  const std::vector<std::wstring> own = {
      L"Path=C:\\Windows",       L"VSCODE_PID=1234",          L"vscode_ipc_hook_cli=\\\\.\\pipe\\x",
      L"VSCODE_PORTABLE=D:\\p",  L"vscode_extensions=E:\\e",  L"ELECTRON_RUN_AS_NODE=1",
      L"ANTHROPIC_MODEL=old",    L"=C:=C:\\Work",            L"VSCODEX=1",
      L"b=2",                    L"A=1=1",
  };
  EXPECT_EQ(vscode::VsCodeEnvironment(own, false, L""),
            (std::vector<std::wstring>{L"=C:=C:\\Work", L"A=1=1", L"ANTHROPIC_MODEL=old", L"b=2", L"Path=C:\\Windows",
                                       L"VSCODEX=1", L"vscode_extensions=E:\\e", L"VSCODE_PORTABLE=D:\\p"}));
  EXPECT_EQ(vscode::VsCodeEnvironment(own, true, L"claude-sonnet-4"),
            (std::vector<std::wstring>{L"=C:=C:\\Work", L"A=1=1", L"ANTHROPIC_MODEL=claude-sonnet-4", L"b=2",
                                       L"ELECTRON_RUN_AS_NODE=1", L"Path=C:\\Windows", L"VSCODEX=1",
                                       L"vscode_extensions=E:\\e", L"VSCODE_PORTABLE=D:\\p"}));

  EXPECT_EQ(vscode::EnvironmentEntryName(L"=C:=C:\\Work"), L"=C:");
  EXPECT_EQ(vscode::EnvironmentEntryName(L"A=1=1"), L"A");
  EXPECT_EQ(vscode::EnvironmentBlock({L"A=1", L"B=2"}), std::wstring(L"A=1\0B=2\0\0", 9));
  EXPECT_EQ(vscode::EnvironmentBlock({}), std::wstring(L"\0\0", 2));
}

TEST(VsCodeFileUri, LocalPathsOfDriveAndServerUrisOnly) {
  struct Case {
    const wchar_t* uri;
    const wchar_t* path;
  };
  const Case cases[] = {
      {L"file:///c%3A/Work/My%20Proj", L"c:\\Work\\My Proj"},
      {L"file:///C:/Work/Proj/", L"C:\\Work\\Proj\\"},
      {L"file://localhost/D:/x", L"D:\\x"},
      {L"file://LocalHost/D:/x", L"D:\\x"},
      {L"file://server/share/dir", L"\\\\server\\share\\dir"},
      {L"file:///c%3A/%E2%82%AC%ED%95%9C", L"c:\\\u20ac\ud55c"},
      {L"file:///c:/100%zz%", L"c:\\100%zz%"},
      {L"file:///home/user", L""},
      {L"file:///c:", L""},
      {L"file://", L""},
      {L"FILE:///C:/x", L""},
      {L"vscode-remote://wsl/C:/x", L""},
      {L"C:\\Work", L""},
  };
  for (const auto& c : cases) EXPECT_EQ(vscode::FileUriToPath(c.uri), c.path) << c.uri;
  EXPECT_EQ(vscode::PercentDecodeUtf8(L"%FFa%41"), L"\ufffdaA");
}

}  // namespace
