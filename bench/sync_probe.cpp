#include <windows.h>
#include <cstdio>
#include "bench/bench.h"
#include "model/project_file.h"
#include "model/file_io.h"
namespace bench {
void RunSyncProbe() {
  for (int entries : {18000, 110000}) {
    ProjectDocument doc = SyntheticDocument(entries / 50, entries, 7);
    const std::wstring path = TempPath(L"probe.qlproj");
    std::wstring error;
    projectfile::SaveProjectFile(path, doc.projects, doc.nextId, error);
    WIN32_FILE_ATTRIBUTE_DATA d; GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &d);
    std::printf("size %.1f MB\n", d.nFileSizeLow / 1e6);
    PrintRow("copy", Measure(5, [&] { ProjectDocument c = doc; }));
    PrintRow("save", Measure(5, [&] { projectfile::SaveProjectFile(path, doc.projects, doc.nextId, error); }));
    PrintRow("text only", Measure(5, [&] { auto t = projectfile::ProjectFileText(doc.projects, doc.nextId, L"x"); }));
    PrintRow("write small safe", Measure(5, [&] { fileio::WriteTextFileSafely(TempPath(L"probe.md"), L"hello", error); }));
  }
  std::string big(50u << 20, 'x');
  const std::wstring src = TempPath(L"probe-big.bin");
  { FILE* f = _wfopen(src.c_str(), L"wb"); fwrite(big.data(), 1, big.size(), f); fclose(f); }
  PrintRow("copy 50MB", Measure(3, [&] { CopyFileW(src.c_str(), TempPath(L"probe-big2.bin").c_str(), FALSE); }));
}
}
