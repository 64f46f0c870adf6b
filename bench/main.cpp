// The benchmark program: scripts/bench [json|calendar|scan|list|sync|restart|all]. Speed only; the tests
// check correctness.
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "bench/bench.h"
#include "i18n/language.h"

int main(int argc, char** argv) {
  SetConsoleOutputCP(CP_UTF8);
  i18n::SetLanguage(i18n::kEnglish);
  const char* what = argc > 1 ? argv[1] : "all";
  bool all = std::strcmp(what, "all") == 0;
  if (all || std::strcmp(what, "json") == 0) bench::RunJsonBench();
  if (all || std::strcmp(what, "calendar") == 0) bench::RunCalendarBench();
  if (all || std::strcmp(what, "scan") == 0) bench::RunScanBench();
  if (all || std::strcmp(what, "list") == 0) bench::RunProjectListBench();
  if (all || std::strcmp(what, "sync") == 0) bench::RunSyncBench();
  if (std::strcmp(what, "restart") == 0) bench::RunSyncBench(true);
  return 0;
}
