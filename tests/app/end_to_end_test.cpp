// The real program files a Codex conversation that is being written while it runs.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "app/main_window.h"
#include "model/json.h"
#include "model/project_file.h"
#include "model/unique_handle.h"
#include "model/utf8.h"
#include "support/paths.h"
#include "support/eventually.h"
#include "support/temp_dir.h"

namespace {

using testpaths::Eventually;

std::string Escape(const std::wstring& path) {
  std::string out;
  for (char c : utf8::FromWide(path)) out += c == '\\' ? std::string("\\\\") : std::string(1, c);
  return out;
}

std::string UtcNow(int secondsAgo) {
  FILETIME ft;
  GetSystemTimeAsFileTime(&ft);
  ULARGE_INTEGER t{{ft.dwLowDateTime, ft.dwHighDateTime}};
  t.QuadPart -= static_cast<ULONGLONG>(secondsAgo) * 10000000ULL;
  ft = {t.LowPart, t.HighPart};
  SYSTEMTIME st;
  FileTimeToSystemTime(&ft, &st);
  char text[40];
  std::snprintf(text, sizeof text, "%04u-%02u-%02uT%02u:%02u:%02u.000Z", st.wYear, st.wMonth, st.wDay, st.wHour,
                st.wMinute, st.wSecond);
  return text;
}

void Append(const std::wstring& path, const std::string& line) {
  std::ofstream(std::filesystem::path(path), std::ios::binary | std::ios::app) << line << "\n";
}

struct Started {
  UniqueHandle process;
};

Started StartTavrilo(const std::wstring& projectFile) {
  std::wstring exe = testpaths::BuildFile(L"Tavrilo.exe");
  std::wstring command = L"\"" + exe + L"\" --startup \"" + projectFile + L"\"";
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi{};
  Started s;
  if (CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
    CloseHandle(pi.hThread);
    s.process.reset(pi.hProcess);
  }
  return s;
}

void Stop(Started& s) {
  TerminateProcess(s.process.get(), 0);
  WaitForSingleObject(s.process.get(), 10000);
}

// The imported keys of all projects in the saved file (empty while it is missing).
std::vector<std::wstring> SavedKeys(const std::wstring& file, std::vector<Project>* projects = nullptr) {
  std::vector<Project> read;
  std::wstring error;
  if (!projectfile::ReadProjects(file, read, error)) return {};
  std::vector<std::wstring> keys;
  for (const auto& p : read) keys.insert(keys.end(), p.codexImports.begin(), p.codexImports.end());
  if (projects) *projects = read;
  return keys;
}

class EnvironmentScope {
 public:
  EnvironmentScope(const wchar_t* name, const std::wstring& value) : name_(name) {
    wchar_t old[32768];
    DWORD n = GetEnvironmentVariableW(name, old, 32768);
    had_ = n > 0 && n < 32768;
    if (had_) old_.assign(old, n);
    SetEnvironmentVariableW(name, value.c_str());
  }
  ~EnvironmentScope() { SetEnvironmentVariableW(name_, had_ ? old_.c_str() : nullptr); }

 private:
  const wchar_t* name_;
  bool had_ = false;
  std::wstring old_;
};

std::string ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The assistant's response_item copy of a reply, which some builds give the phase instead.
std::string Twin(const std::string& stamp, const std::string& text, const std::string& phase) {
  return R"({"timestamp":")" + stamp +
         R"(","type":"response_item","payload":{"type":"message","role":"assistant","content":[{"type":"output_text","text":")" +
         text + R"("}],"phase":")" + phase + R"("}})";
}

// The session is written the way Codex 0.104 writes it: no model in session_meta, the
// turn's turn_context after its prompt, no client id, and the reply phases only on the
// response_item twins (one before its event, one after).
TEST(EndToEnd, CodexConversationIsFiledOnceWhileItIsWritten) {
  ASSERT_EQ(FindWindowW(mainwindow::kMainWindowClass, nullptr), nullptr) << "another Tavrilo is running";
  testpaths::TempDir root;
  const std::wstring work = root / L"work";
  const std::wstring home = root / L"codex";
  const std::wstring sessions = home + L"\\sessions\\2026\\12";
  std::filesystem::create_directories(std::filesystem::path(work));
  std::filesystem::create_directories(std::filesystem::path(sessions));
  const std::wstring image = root / L"screenshot.png";
  std::ofstream(std::filesystem::path(image), std::ios::binary) << "\x89PNG fake";
  const std::wstring log = sessions + L"\\rollout-1.jsonl";
  const std::wstring projectFile = root / L"projects.qlproj";
  EnvironmentScope codexHome(L"CODEX_HOME", home);
  EnvironmentScope profile(L"USERPROFILE", root.path());

  Append(log, R"({"timestamp":")" + UtcNow(60) +
                  R"(","type":"session_meta","payload":{"id":"019e","cwd":")" + Escape(work) +
                  R"(","originator":"codex_vscode","cli_version":"0.104.0","source":"vscode"}})");
  Append(log, R"({"timestamp":")" + UtcNow(50) +
                  R"(","type":"event_msg","payload":{"type":"user_message","message":"빌드를 고쳐 줘\n테스트도 돌려 줘","images":[],"local_images":[")" +
                  Escape(image) + R"("]}})");
  Append(log, R"({"timestamp":")" + UtcNow(50) + R"(","type":"turn_context","payload":{"cwd":")" + Escape(work) +
                  R"(","model":"gpt-5.3-codex"}})");
  Append(log, Twin(UtcNow(40), "링크 순서를 바로잡았습니다.", "final_answer"));
  Append(log, R"({"timestamp":")" + UtcNow(40) +
                  R"(","type":"event_msg","payload":{"type":"agent_message","message":"링크 순서를 바로잡았습니다."}})");

  Started tavrilo = StartTavrilo(projectFile);
  ASSERT_TRUE(tavrilo.process.valid()) << "Tavrilo.exe could not be started";
  EXPECT_TRUE(Eventually([&] { return SavedKeys(projectFile).size() == 2; })) << "prompt and reply filed";

  // A line appended while the program runs is picked up too.
  Append(log, R"({"timestamp":")" + UtcNow(30) +
                  R"(","type":"event_msg","payload":{"type":"agent_message","message":"테스트도 통과합니다."}})");
  Append(log, Twin(UtcNow(30), "테스트도 통과합니다.", "commentary"));
  EXPECT_TRUE(Eventually([&] { return SavedKeys(projectFile).size() == 3; })) << "the appended reply filed";
  Stop(tavrilo);

  std::vector<Project> projects;
  auto keys = SavedKeys(projectFile, &projects);
  ASSERT_EQ(projects.size(), 1u);
  const Project& p = projects[0];
  EXPECT_EQ(p.location, work);
  EXPECT_EQ(p.title, L"work");
  EXPECT_EQ(p.lastAiSession.source, kAiSourceCodex);
  EXPECT_EQ(p.lastAiSession.session, L"019e");
  EXPECT_EQ(p.lastAiSession.model, L"gpt-5.3-codex");
  ASSERT_EQ(p.entries.size(), 1u);
  const Entry& entry = p.entries[0];
  EXPECT_NE(entry.text.find(L"[VS Code Codex · "), std::wstring::npos);
  EXPECT_NE(entry.text.find(L" · gpt-5.3-codex]\r\n빌드를 고쳐 줘\r\n테스트도 돌려 줘\r\n"), std::wstring::npos)
      << "the prompt with its turn's model and CR LF line breaks";
  EXPECT_EQ(entry.text.find(L"모델 미확인"), std::wstring::npos);
  EXPECT_NE(entry.text.find(L"[Codex 답변 · "), std::wstring::npos);
  EXPECT_NE(entry.text.find(L"[Codex 진행 · "), std::wstring::npos);
  EXPECT_NE(std::find(entry.tags.begin(), entry.tags.end(), L"자동기록"), entry.tags.end());

  // Every record has its folder with its files; the prompt's image was copied.
  int folders = 0, prompts = 0, replies = 0, copies = 0;
  for (const auto& day : std::filesystem::directory_iterator(std::filesystem::path(work + L"\\Quenlor"))) {
    for (const auto& record : std::filesystem::directory_iterator(day.path())) {
      ++folders;
      EXPECT_TRUE(std::filesystem::exists(record.path() / "record.json"));
      if (std::filesystem::exists(record.path() / "prompt.md")) {
        ++prompts;
        std::string md = ReadBytes(record.path() / "prompt.md");
        EXPECT_NE(md.find("빌드를 고쳐 줘\r\n테스트도 돌려 줘"), std::string::npos);
        for (size_t at = md.find('\n'); at != std::string::npos; at = md.find('\n', at + 1)) {
          EXPECT_TRUE(at > 0 && md[at - 1] == '\r') << "a bare line feed in prompt.md at " << at;
        }
      }
      replies += std::filesystem::exists(record.path() / "reply.md");
      copies += std::filesystem::exists(record.path() / "1_screenshot.png");
    }
  }
  EXPECT_EQ(folders, 3);
  EXPECT_EQ(prompts, 1);
  EXPECT_EQ(replies, 2);
  EXPECT_EQ(copies, 1);

  // A restart reads every log again from its start and files nothing twice.
  std::string before = ReadBytes(std::filesystem::path(projectFile));
  Started again = StartTavrilo(projectFile);
  ASSERT_TRUE(again.process.valid());
  Sleep(5000);  // several scans and timer ticks
  Stop(again);
  EXPECT_EQ(SavedKeys(projectFile).size(), 3u);
  std::vector<Project> after;
  SavedKeys(projectFile, &after);
  ASSERT_EQ(after.size(), 1u);
  EXPECT_EQ(after[0].entries[0].text, entry.text) << "no block appended twice";
}

}  // namespace
