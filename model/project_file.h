// The ".qlproj" project file: reading with validation and repair, and saving.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/json.h"
#include "model/project.h"

namespace projectfile {

// Projects of a file with the file's reading rules and defaults applied, entries sorted
// and missing start dates filled in; ids and colours are left as the file has them.
// Every reader below leaves `projects` empty when it fails.
bool ReadProjects(const std::wstring& path, std::vector<Project>& projects, std::wstring& error);
// The same rules applied to an already parsed document, whose strings are moved out.
bool ProjectsFromJson(JsonValue& root, std::vector<Project>& projects, std::wstring& error);

// Reads the projects of a file's text: straight from the text when it is well formed,
// through a parsed tree otherwise (which gives the error message).
bool ProjectsFromText(std::wstring_view text, std::vector<Project>& projects, std::wstring& error);
// The same for the file's UTF-8 bytes: straight from the bytes when they are well
// formed, through the decoded text otherwise.
bool ProjectsFromBytes(std::string_view bytes, std::vector<Project>& projects, std::wstring& error);
// The straight paths alone; false for anything they do not read (including errors).
// The UTF-8 one also declines a byte above 0x7F outside a string (a byte-order mark
// between tokens), which the decoded text's readers take.
bool ReadProjectsFast(std::wstring_view text, std::vector<Project>& projects);
bool ReadProjectsFastUtf8(std::string_view bytes, std::vector<Project>& projects);
// Sorts a read project's entries and fills in a missing start date.
void FinishReadProject(Project& project);

// Reads the file and makes it the document: duplicate or invalid ids get fresh ones,
// the next id follows the largest, projects without a colour get the least-used one.
// On failure the document is untouched.
bool LoadProjectFile(const std::wstring& path, ProjectDocument& document, std::wstring& error);
// Gives ids and colours to freshly read projects, as loading does.
void RepairLoadedProjects(std::vector<Project> projects, ProjectDocument& document);

// The file's bytes, written straight from the projects (the same text as the tree).
std::string ProjectFileText(const std::vector<Project>& projects, int32_t nextId, const std::wstring& savedAt);
JsonValue ProjectsToJson(const std::vector<Project>& projects, int32_t nextId, const std::wstring& savedAt);
bool SaveProjectFile(const std::wstring& path, const std::vector<Project>& projects, int32_t nextId,
                     std::wstring& error);

// Truncation of a JSON number to a 32-bit integer; values outside the range (and NaN)
// give INT32_MIN, as the processor's own conversion does, so they are repaired as
// invalid instead of wrapping into a plausible id.
int32_t TruncateToInt32(double value);

}  // namespace projectfile
