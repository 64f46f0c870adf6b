// Matching a conversation's working folder to project folders, and the location and
// title of a project made for an unknown folder.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "aisync/folder_match.h"

namespace {

using aisync::FindCoveringFolder;
using aisync::FolderCovers;
using aisync::NormalizedFolderPath;

std::wstring CurrentDirectory() {
  wchar_t buffer[MAX_PATH + 1];
  DWORD length = GetCurrentDirectoryW(MAX_PATH + 1, buffer);
  return std::wstring(buffer, length);
}

TEST(RecordFolderMatch, NormalizingIgnoresCaseSeparatorsAndTrailingBackslashes) {
  const std::wstring expected = L"c:\\work\\app";
  EXPECT_EQ(NormalizedFolderPath(L"C:\\Work\\app"), expected);
  EXPECT_EQ(NormalizedFolderPath(L"c:/work/app"), expected);
  EXPECT_EQ(NormalizedFolderPath(L"C:\\WORK\\APP\\\\"), expected);
  EXPECT_EQ(NormalizedFolderPath(L"C:/Work//app/"), expected);
  EXPECT_EQ(NormalizedFolderPath(L"C:\\Work\\.\\lib\\..\\app"), expected);
}

TEST(RecordFolderMatch, NormalizingKeepsUncRoots) {
  EXPECT_EQ(NormalizedFolderPath(L"\\\\Server\\Share\\Repo\\"), L"\\\\server\\share\\repo");
  EXPECT_EQ(NormalizedFolderPath(L"//Server/Share/Repo/src/.."), L"\\\\server\\share\\repo");
  EXPECT_TRUE(FolderCovers(NormalizedFolderPath(L"\\\\server\\share"), NormalizedFolderPath(L"//SERVER/Share/x")));
  EXPECT_FALSE(FolderCovers(NormalizedFolderPath(L"\\\\server\\share"), NormalizedFolderPath(L"C:\\server\\share\\x")));
}

TEST(RecordFolderMatch, NormalizingKeepsTheDriveRootBackslash) {
  EXPECT_EQ(NormalizedFolderPath(L"C:\\"), L"c:\\");
  EXPECT_EQ(NormalizedFolderPath(L"C:/"), L"c:\\");
  EXPECT_EQ(NormalizedFolderPath(L"D:\\x\\.."), L"d:\\");
}

TEST(RecordFolderMatch, NormalizingEmptyAndRelativePaths) {
  EXPECT_EQ(NormalizedFolderPath(L""), L"");
  // A relative folder is taken against the current directory, as the system would.
  std::wstring current = NormalizedFolderPath(CurrentDirectory());
  ASSERT_FALSE(current.empty());
  std::wstring joined = current.back() == L'\\' ? current + L"sub" : current + L"\\sub";
  EXPECT_EQ(NormalizedFolderPath(L"Sub"), joined);
  EXPECT_EQ(NormalizedFolderPath(L".\\Sub\\x\\.."), joined);
}

TEST(RecordFolderMatch, CoversItselfAndFoldersBelowOnly) {
  const std::wstring app = L"c:\\work\\app";
  EXPECT_TRUE(FolderCovers(app, L"c:\\work\\app"));
  EXPECT_TRUE(FolderCovers(app, L"c:\\work\\app\\src"));
  EXPECT_TRUE(FolderCovers(app, L"c:\\work\\app\\src\\deep\\er"));
  // A shared prefix that stops inside a name is another folder.
  EXPECT_FALSE(FolderCovers(app, L"c:\\work\\application"));
  EXPECT_FALSE(FolderCovers(app, L"c:\\work\\app2\\src"));
  EXPECT_FALSE(FolderCovers(app, L"c:\\work"));
  EXPECT_FALSE(FolderCovers(L"", L"c:\\work"));
  EXPECT_FALSE(FolderCovers(L"", L""));
}

TEST(RecordFolderMatch, DriveRootCoversEveryFolderOnItsDrive) {
  EXPECT_TRUE(FolderCovers(L"c:\\", L"c:\\"));
  EXPECT_TRUE(FolderCovers(L"c:\\", L"c:\\work"));
  EXPECT_TRUE(FolderCovers(L"c:\\", L"c:\\work\\app\\src"));
  EXPECT_FALSE(FolderCovers(L"c:\\", L"d:\\work"));
  // A drive-root project and the same cwd written in another case still meet once normalised.
  EXPECT_TRUE(FolderCovers(NormalizedFolderPath(L"C:/"), NormalizedFolderPath(L"c:\\Users\\Me\\Repo")));
}

TEST(RecordFolderMatch, LongestCoveringFolderWinsAndTiesGoToTheEarlier) {
  std::vector<std::wstring> folders = {L"c:\\work", L"c:\\work\\app", L"c:\\", L"c:\\work\\application"};
  EXPECT_EQ(FindCoveringFolder(folders, L"c:\\work\\app\\x"), 1);
  EXPECT_EQ(FindCoveringFolder(folders, L"c:\\work\\other"), 0);
  EXPECT_EQ(FindCoveringFolder(folders, L"c:\\temp"), 2);
  EXPECT_EQ(FindCoveringFolder(folders, L"c:\\work\\application\\src"), 3);
  EXPECT_EQ(FindCoveringFolder(folders, L"d:\\work\\app"), -1);

  std::vector<std::wstring> twins = {L"", L"c:\\a", L"c:\\b", L"c:\\a"};
  EXPECT_EQ(FindCoveringFolder(twins, L"c:\\a\\b"), 1);
  EXPECT_EQ(FindCoveringFolder(twins, L"c:\\b"), 2);
  EXPECT_EQ(FindCoveringFolder({}, L"c:\\a"), -1);
  // Unresolvable project folders normalise to empty and never match anything.
  EXPECT_EQ(FindCoveringFolder({L""}, L""), -1);
}

TEST(RecordFolderMatch, AbsolutePathsAreDriveOrUncRooted) {
  EXPECT_TRUE(aisync::IsAbsoluteFolderPath(L"C:\\Work"));
  EXPECT_TRUE(aisync::IsAbsoluteFolderPath(L"z:/work"));
  EXPECT_TRUE(aisync::IsAbsoluteFolderPath(L"C:\\"));
  EXPECT_TRUE(aisync::IsAbsoluteFolderPath(L"\\\\server\\share\\x"));
  EXPECT_TRUE(aisync::IsAbsoluteFolderPath(L"//server/share"));
  EXPECT_FALSE(aisync::IsAbsoluteFolderPath(L""));
  EXPECT_FALSE(aisync::IsAbsoluteFolderPath(L"C:"));
  EXPECT_FALSE(aisync::IsAbsoluteFolderPath(L"C:work"));
  EXPECT_FALSE(aisync::IsAbsoluteFolderPath(L"work\\app"));
  EXPECT_FALSE(aisync::IsAbsoluteFolderPath(L"\\work\\app"));
  EXPECT_FALSE(aisync::IsAbsoluteFolderPath(L"\\\\"));
  EXPECT_FALSE(aisync::IsAbsoluteFolderPath(L"1:\\x"));
  EXPECT_FALSE(aisync::IsAbsoluteFolderPath(L"/home/me/repo"));
}

TEST(RecordFolderMatch, NewProjectLocationKeepsCaseAndDropsTrailingSeparators) {
  EXPECT_EQ(aisync::NewProjectLocation(L"C:\\Work\\MyApp\\"), L"C:\\Work\\MyApp");
  EXPECT_EQ(aisync::NewProjectLocation(L"C:/Work//MyApp/./src/../"), L"C:\\Work\\MyApp");
  EXPECT_EQ(aisync::NewProjectLocation(L"d:\\"), L"d:\\");
  EXPECT_EQ(aisync::NewProjectLocation(L"\\\\Server\\Share\\Repo\\"), L"\\\\Server\\Share\\Repo");
  EXPECT_EQ(aisync::NewProjectLocation(L"//Server/Share/Repo/"), L"\\\\Server\\Share\\Repo");
}

TEST(RecordFolderMatch, TitleIsTheLastComponentOrTheWholeRoot) {
  EXPECT_EQ(aisync::FolderTitle(L"C:\\Work\\MyApp"), L"MyApp");
  EXPECT_EQ(aisync::FolderTitle(L"C:\\Work\\프로젝트 A"), L"프로젝트 A");
  EXPECT_EQ(aisync::FolderTitle(L"C:\\"), L"C:\\");
}

}  // namespace
