// Project file load and save against the DOM parse and serialisation of two widely
// used JSON libraries, on the same bytes in the same run.
#include <windows.h>

#include <cstdio>
#include <nlohmann/json.hpp>
#include <rapidjson/document.h>
#include <rapidjson/prettywriter.h>
#include <rapidjson/stringbuffer.h>
#include <string>

#include "bench/bench.h"
#include "model/file_io.h"
#include "model/json.h"
#include "model/project_file.h"
#include "model/utf8.h"

namespace bench {

void RunJsonBench() {
  const int kRuns = 7;
  ProjectDocument source = SyntheticDocument(2000, 100000, 20261208);
  const std::wstring path = TempPath(L"tavrilo-bench.qlproj");
  const std::wstring copy = TempPath(L"tavrilo-bench-save.qlproj");
  std::wstring error;
  if (!projectfile::SaveProjectFile(path, source.projects, source.nextId, error)) {
    std::printf("could not write the benchmark file\n");
    return;
  }
  std::string bytes;
  fileio::ReadFileBytes(path, bytes, error);
  const double size = static_cast<double>(bytes.size());
  std::printf("\nproject file: %d projects, %d entries, %.1f MB\n", 2000, 100000, size / 1e6);

  PrintTitle("JSON: load and save of the project file");
  ProjectDocument loaded;
  Stats load = Measure(kRuns, [&] {
    ProjectDocument doc;
    projectfile::LoadProjectFile(path, doc, error);
    loaded = std::move(doc);
  });
  PrintRow("Tavrilo load (read+decode+parse+model)", load, Rate(size, load));

  std::string raw;
  Stats read = Measure(kRuns, [&] { fileio::ReadFileBytes(path, raw, error); });
  PrintRow("  of which reading the file", read, Rate(size, read));
  // Before the phases that hold the decoded text: run just before the save, this one
  // left the heap in a state that made the save measure slower than it is.
  Stats direct = Measure(kRuns, [&] {
    std::vector<Project> projects;
    std::wstring e;
    projectfile::ProjectsFromBytes(bytes, projects, e);
  });
  PrintRow("  of which reading projects from the bytes", direct, Rate(size, direct));
  std::wstring wide;
  Stats decode = Measure(kRuns, [&] { wide = utf8::ToWide(bytes); });
  PrintRow("  UTF-8 to UTF-16 (only for a file the bytes path declines)", decode, Rate(size, decode));
  Stats parse = Measure(kRuns, [&] {
    JsonValue root;
    std::wstring e;
    json::Parse(wide, false, root, e);
  });
  PrintRow("JSON tree parse and free (for comparison)", parse, Rate(size, parse));
  Stats build = Measure(kRuns, [&] {
    std::vector<Project> projects;
    std::wstring e;
    projectfile::ProjectsFromText(wide, projects, e);
  });
  PrintRow("  reading projects from the UTF-16 text", build, Rate(size, build));

  Stats save = Measure(kRuns, [&] { projectfile::SaveProjectFile(copy, loaded.projects, loaded.nextId, error); });
  PrintRow("Tavrilo save (model+JSON+UTF-8+safe write)", save, Rate(size, save));

  JsonValue tree = projectfile::ProjectsToJson(loaded.projects, loaded.nextId, L"2026-12-08T00:00:00");
  Stats write = Measure(kRuns, [&] {
    std::string out = json::WriteDocumentUtf8(tree);
    (void)out;
  });
  PrintRow("  of which serialisation to UTF-8", write, Rate(size, write));

  Stats rapidParse = Measure(kRuns, [&] {
    rapidjson::Document d;
    d.Parse(bytes.c_str(), bytes.size());
  });
  PrintRow("RapidJSON DOM parse", rapidParse, Rate(size, rapidParse));

  rapidjson::Document rapidDoc;
  rapidDoc.Parse(bytes.c_str(), bytes.size());
  Stats rapidWrite = Measure(kRuns, [&] {
    rapidjson::StringBuffer buffer;
    rapidjson::PrettyWriter<rapidjson::StringBuffer> writer(buffer);
    writer.SetIndent(' ', 2);
    rapidDoc.Accept(writer);
  });
  PrintRow("RapidJSON pretty serialisation", rapidWrite, Rate(size, rapidWrite));

  Stats nlohmannParse = Measure(kRuns, [&] {
    auto j = nlohmann::json::parse(bytes, nullptr, false);
    (void)j;
  });
  PrintRow("nlohmann/json parse", nlohmannParse, Rate(size, nlohmannParse));

  auto nlohmannDoc = nlohmann::json::parse(bytes, nullptr, false);
  Stats nlohmannWrite = Measure(kRuns, [&] {
    std::string out = nlohmannDoc.dump(2);
    (void)out;
  });
  PrintRow("nlohmann/json pretty serialisation", nlohmannWrite, Rate(size, nlohmannWrite));

  std::printf("\nratios (by minimum time; above 1 means Tavrilo is faster)\n");
  std::printf("  load vs RapidJSON parse   %.2f   (target at least 0.6)\n", rapidParse.minMs / load.minMs);
  std::printf("  load vs nlohmann parse    %.2f   (target above 1)\n", nlohmannParse.minMs / load.minMs);
  std::printf("  save vs RapidJSON write   %.2f   (target at least 1.0)\n", rapidWrite.minMs / save.minMs);
  std::printf("  save vs nlohmann write    %.2f\n", nlohmannWrite.minMs / save.minMs);
  DeleteFileW(path.c_str());
  DeleteFileW(copy.c_str());
}

}  // namespace bench
