// A large document that looks like years of real use: long-lived projects with daily
// notes in Korean and English, many of them AI record blocks with tags and files.
#include <cstdio>
#include <random>

#include "bench/bench.h"

namespace bench {
namespace {

const wchar_t* const kKoreanLines[] = {
    L"회의록 정리 및 다음 단계 계획 수립",
    L"고객 요청 사항 반영: 로그인 화면의 오류 메시지 개선",
    L"배포 전 점검 목록을 다시 확인했습니다.",
    L"성능 측정 결과를 표로 정리하고 병목 구간을 찾음",
    L"디자인 시안 검토 — 색상 대비와 여백 조정 필요",
};
const wchar_t* const kEnglishLines[] = {
    L"Refactored the settings loader and added tests for missing keys.",
    L"Fix the build on Windows: link order of the static libraries.",
    L"Reviewed pull request #1423 (calendar week view).",
    L"Investigate why the sync worker wakes up twice per tick.",
    L"Wrote release notes for 1.9.3 and updated the screenshots.",
};
const wchar_t* const kModels[] = {L"gpt-5-codex", L"gpt-5", L"claude-sonnet-4.5", L"o4-mini"};
const wchar_t* const kTags[] = {L"회의", L"배포", L"design", L"bug", L"AI", L"문서", L"review", L"perf"};

}  // namespace

ProjectDocument SyntheticDocument(int projectCount, int entryCount, uint32_t seed) {
  std::mt19937 rng(seed);
  auto pick = [&rng](int n) { return static_cast<int>(rng() % static_cast<uint32_t>(n)); };
  ProjectDocument doc;
  doc.projects.reserve(projectCount);
  int perProject = entryCount / projectCount;
  int extra = entryCount % projectCount;
  const int32_t base = dates::DayNumber({2021, 1, 1});
  for (int i = 0; i < projectCount; ++i) {
    Project p;
    p.id = i + 1;
    p.title = (i % 2 ? L"프로젝트 " : L"Project ") + std::to_wstring(i + 1) + (i % 7 == 0 ? L" — 장기 유지보수 및 개선 작업" : L"");
    p.location = L"C:\\Work\\repo-" + std::to_wstring(i + 1);
    p.startDate = dates::FromDayNumber(base + pick(1400));
    if (i % 3 == 0) p.endDate = dates::AddDays(p.startDate, 30 + pick(300));
    p.completed = i % 4 == 0;
    if (p.completed) p.completedDate = dates::AddDays(p.startDate, pick(400));
    p.color = pick(12);
    p.category = pick(3);
    p.created = L"2021-01-01T09:00:00";
    p.modified = L"2024-06-30T18:30:00";
    int n = perProject + (i < extra ? 1 : 0);
    p.entries.reserve(n);
    for (int e = 0; e < n; ++e) {
      Entry entry;
      entry.date = dates::AddDays(p.startDate, pick(120));
      bool ai = pick(3) == 0;
      if (ai) {
        wchar_t heading[96];
        std::swprintf(heading, 96, L"[VS Code Codex · %02d:%02d:%02d · %ls]\r\n", pick(24), pick(60), pick(60),
                      kModels[pick(4)]);
        entry.text = heading;
        entry.text += kEnglishLines[pick(5)];
        entry.text += L"\r\n";
        entry.text += kKoreanLines[pick(5)];
        entry.text += L"\r\n기록: C:\\Work\\repo-" + std::to_wstring(i + 1) + L"\\Quenlor\\2024-05-01\\101500_0123456789abcdef";
        entry.tags = {L"Codex", L"자동기록"};
      } else {
        entry.text = kKoreanLines[pick(5)];
        entry.text += L"\r\n- ";
        entry.text += kEnglishLines[pick(5)];
        if (pick(2)) tags::Add(entry.tags, kTags[pick(8)]);
        if (pick(10) == 0) entry.attachments.push_back(L"C:\\Work\\repo-" + std::to_wstring(i + 1) + L"\\docs\\plan.pdf");
      }
      p.entries.push_back(std::move(entry));
      if (ai) p.codexImports.push_back(L"codex:019a-" + std::to_wstring(i) + L"-" + std::to_wstring(e));
    }
    p.SortEntries();
    if (i % 5 == 0) p.lastAiSession = {kAiSourceCodex, L"019a-" + std::to_wstring(i), L"gpt-5-codex", L"2024-05-01T10:15:00Z", L""};
    doc.projects.push_back(std::move(p));
  }
  doc.nextId = projectCount + 1;
  return doc;
}

}  // namespace bench
