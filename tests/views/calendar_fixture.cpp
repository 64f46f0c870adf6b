#include "calendar_fixture.h"

namespace caltest {

ProjectDocument RichDocument() {
  ProjectDocument doc;
  auto add = [&](Project p, std::vector<Entry> entries = {}, const wchar_t* location = L"") {
    p.entries = std::move(entries);
    p.location = location;
    return doc.AddProject(std::move(p));
  };
  auto d = [](int month, int day) { return Date{2026, month, day}; };

  add(MakeProject(L"Tavrilo 데스크톱 앱 리뉴얼", d(3, 2), d(3, 27), 0),
      {MakeEntry(d(3, 2), L"킥오프 회의\r\n범위와 일정 확정"),
       MakeEntry(d(3, 10), L"헤더 레이아웃 시안 검토. 좁은 창에서는 두 줄로 나뉘는지 확인하고, 조회 버튼과 날짜 선택기의 간격을 맞춘다."),
       MakeEntry(d(3, 18),
                 L"[VS Code Codex · 10:42:05 · gpt-5-codex]\n캘린더 주간 보기에서 카드 높이를 다시 계산해 줘. 긴 본문은 "
                 L"줄임표로 자르고 더보기 링크가 남는 공간을 확인할 것.\n기록: Quenlor\\2026-03-18\\104205_1a2b3c4d5e6f7a8b\n"),
       MakeEntry(d(3, 24), L"릴리스 노트 초안")},
      L"C:\\Work\\Tavrilo");
  add(MakeProject(L"분기 보고서 작성", d(3, 9), d(3, 20), 1),
      {MakeEntry(d(3, 9), L"자료 수집 시작"), MakeEntry(d(3, 13), L"1차 초안"),
       MakeEntry(d(3, 18), L"재무팀 피드백 반영\n표 3개 갱신\n요약 다시 쓰기\n부록 정리\n오탈자 검토\n최종 PDF 만들기")},
      L"D:\\Reports\\2026-Q1");
  add(MakeProject(L"Website redesign for the spring campaign, with a title far longer than any cell", d(3, 16),
                  d(4, 3), 2),
      {MakeEntry(d(3, 16), L"Wireframes for the landing page and the pricing table."),
       MakeEntry(d(3, 18),
                 L"Reviewed the hero section with the brand team. The headline should stay under eight words, the "
                 L"illustration moves to the right and the call to action gets the accent colour. Next: responsive "
                 L"breakpoints, the footer links, and a last pass over the copy before the stakeholder demo on "
                 L"Friday afternoon.")},
      L"C:\\Projects\\spring-site");
  add(MakeProject(L"고객 인터뷰 정리", d(3, 18), Date{}, 3),
      {MakeEntry(d(3, 18), L"인터뷰 5건 녹취 정리, 공통 요구사항 12개 도출")});
  add(MakeProject(L"Design system tokens", d(2, 23), d(3, 6), 4, true),
      {MakeEntry(d(2, 27), L"Colour tokens merged"), MakeEntry(d(3, 4), L"Spacing scale done")});
  add(MakeProject(L"모바일 앱 QA", d(3, 11), d(3, 25), 5),
      {MakeEntry(d(3, 11), L"테스트 계획"), MakeEntry(d(3, 18), L"회귀 테스트 42건 중 40건 통과")});
  add(MakeProject(L"데이터 마이그레이션", d(3, 18), d(3, 31), 6), {MakeEntry(d(3, 18), L"스키마 비교 스크립트")},
      L"E:\\Data\\migration");
  add(MakeProject(L"Marketing copy review", d(3, 4), d(3, 12), 7, true), {MakeEntry(d(3, 10), L"Second round")});
  add(MakeProject(L"신규 입사자 온보딩", d(3, 23), d(3, 27), 8));
  add(MakeProject(L"Server cost analysis", d(3, 18), Date{}, 9), {MakeEntry(d(3, 18), L"Reserved instances vs. spot")});
  add(MakeProject(L"법무 검토 요청", d(3, 17), d(3, 19), 10), {MakeEntry(d(3, 18), L"계약서 3조 수정 요청")});
  add(MakeProject(L"Photo shoot", d(3, 18), d(3, 18), 11, true), {MakeEntry(d(3, 18), L"120 shots, 14 selected")});
  add(MakeProject(L"보안 점검", d(3, 10), d(3, 10), 0), {MakeEntry(d(3, 10), L"취약점 스캔")});
  add(MakeProject(L"Budget planning", d(3, 10), d(3, 10), 3), {MakeEntry(d(3, 10), L"FY27 draft")});
  add(MakeProject(L"사내 세미나 준비", d(3, 10), d(3, 10), 5));
  add(MakeProject(L"Vendor onboarding", d(3, 10), d(3, 10), 8, true));
  add(MakeProject(L"Release 2.3", d(3, 31), d(4, 2), 4));

  // Spread over the year so that every month of the year view has marked days.
  for (int month = 1; month <= 12; ++month) {
    if (month == 3) continue;
    for (int k = 0; k < 3; ++k) {
      int day = 3 + k * 9 + month % 4;
      Project p = MakeProject(L"정기 작업", Date{2026, month, day}, Date{2026, month, day + 2}, (month + k) % 12,
                              k == 2);
      p.title += L" " + std::to_wstring(month) + L"-" + std::to_wstring(k + 1);
      add(std::move(p), {MakeEntry(Date{2026, month, day + 1}, L"진행 메모")});
    }
  }
  return doc;
}

}  // namespace caltest
