#include "aisync/reply_cleanup.h"

#include <cwctype>
#include <regex>

namespace aisync {
namespace {

constexpr std::wstring_view kTrimmed = L" \t\r\n";

std::wstring_view Trim(std::wstring_view text) {
  size_t first = text.find_first_not_of(kTrimmed);
  if (first == std::wstring_view::npos) return {};
  size_t last = text.find_last_not_of(kTrimmed);
  return text.substr(first, last - first + 1);
}

bool StartsWith(std::wstring_view text, std::wstring_view prefix) {
  return text.size() >= prefix.size() && text.compare(0, prefix.size(), prefix) == 0;
}

bool StartsWithBullet(std::wstring_view text) { return StartsWith(text, L"- ") || StartsWith(text, L"* "); }

// libstdc++ matches by recursion, one stack frame per character, unless asked for its
// breadth-first matcher; a single long minified line would otherwise overflow the
// sync worker's stack.
#if defined(__GLIBCXX__)
constexpr auto kPatternSyntax = std::regex_constants::ECMAScript | std::regex_constants::__polynomial;
#else
constexpr auto kPatternSyntax = std::regex_constants::ECMAScript;
#endif

// Replies run through this on the sync worker and on the main thread; a const regex
// may be matched from several threads at once, and the static is built only once.
const std::wregex& CodeLinePattern() {
  static const std::wregex pattern(
      LR"re(^((#include\s|#define\s|import\s|from\s.+\simport\s|def\s.+\(|(?:async\s+)?function\s.+\(|(?:const|let|var)\s.+[=;]|(?:public|private|protected):|(?:public|private|static|class|struct|namespace)\s.+[;{]|(?:return|throw)\s.+;|(?:if|for|while|switch)\s*\(.+\)\s*[{:]|(?:SELECT|INSERT INTO|UPDATE|CREATE TABLE|ALTER TABLE|DROP TABLE)\s|(?:npm|pnpm|yarn|pip|pip3|cmake|pytest)\s|(?:python|python3|node|powershell|pwsh)\s.+|git\s+(?:status|diff|add|commit|push|pull|clone|checkout|switch)\b|PS\s+[^>]+>|\$\s|[+\-]{3}\s|@@\s|\*\*\* (?:Begin|End|Update|Add|Delete)\b).*|[{}\[\];,]+|"[^"]+"\s*:.*)$)re",
      kPatternSyntax);
  return pattern;
}

// Other libraries give up on complex matches by throwing; such a line is kept as prose.
bool IsCodeLine(std::wstring_view line) {
  try {
    return std::regex_match(line.begin(), line.end(), CodeLinePattern());
  } catch (const std::regex_error&) {
    return false;
  }
}

// Quote and list markers do not hide a fence: "> ```" opens one like "```" does.
std::wstring_view FenceProbe(std::wstring_view trimmed) {
  std::wstring_view probe = trimmed;
  while (!probe.empty() && probe.front() == L'>') probe = Trim(probe.substr(1));
  if (StartsWithBullet(probe)) probe = Trim(probe.substr(2));
  return probe;
}

bool IsListItem(std::wstring_view trimmed) {
  if (StartsWithBullet(trimmed)) return true;
  size_t digits = 0;
  while (digits < trimmed.size() && trimmed[digits] >= L'0' && trimmed[digits] <= L'9') ++digits;
  return digits > 0 && digits + 1 < trimmed.size() && (trimmed[digits] == L'.' || trimmed[digits] == L')') &&
         std::iswspace(trimmed[digits + 1]);
}

std::wstring AsciiLower(std::wstring_view text) {
  std::wstring lower(text);
  for (wchar_t& c : lower) {
    if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
  }
  return lower;
}

bool ClosesHtmlBlock(const std::wstring& lower) {
  return lower.find(L"</pre>") != std::wstring::npos || lower.find(L"</code>") != std::wstring::npos;
}

// An unclosed backtick run swallows the rest of the line: what follows it is code the
// assistant never finished quoting, not prose.
std::wstring WithoutInlineCode(std::wstring_view line) {
  std::wstring out;
  size_t i = 0;
  while (i < line.size()) {
    if (line[i] != L'`') {
      out.push_back(line[i++]);
      continue;
    }
    size_t runEnd = line.find_first_not_of(L'`', i);
    if (runEnd == std::wstring_view::npos) runEnd = line.size();
    std::wstring_view run = line.substr(i, runEnd - i);
    size_t closing = line.find(run, runEnd);
    if (closing == std::wstring_view::npos) break;
    if (!out.empty() && out.back() != L' ') out.push_back(L' ');
    i = closing + run.size();
    // "before `code` after" must read "before after": the space written for the span
    // already separates the words, so the blanks behind the span would only double it.
    while (i < line.size() && (line[i] == L' ' || line[i] == L'\t')) ++i;
  }
  return out;
}

}  // namespace

std::wstring CleanReplyText(std::wstring_view text) {
  std::wstring source;
  source.reserve(text.size());
  for (wchar_t c : text) {
    if (c != L'\r') source.push_back(c);
  }

  wchar_t fenceChar = 0;
  size_t fenceLength = 0;
  bool inHtml = false;
  bool breakPending = true;
  std::wstring out;

  std::wstring_view rest = source;
  for (bool more = true; more;) {
    size_t newline = rest.find(L'\n');
    std::wstring_view line = rest.substr(0, newline);
    if (newline == std::wstring_view::npos) {
      more = false;
    } else {
      rest.remove_prefix(newline + 1);
    }

    std::wstring_view trimmed = Trim(line);
    std::wstring_view probe = FenceProbe(trimmed);
    wchar_t mark = probe.empty() ? 0 : probe.front();
    size_t run = 0;
    if (mark == L'`' || mark == L'~') {
      while (run < probe.size() && probe[run] == mark) ++run;
    }
    if (fenceChar != 0) {
      if (mark == fenceChar && run >= fenceLength && Trim(probe.substr(run)).empty()) fenceChar = 0;
      continue;
    }
    if (run >= 3) {
      fenceChar = mark;
      fenceLength = run;
      continue;
    }

    std::wstring lower = AsciiLower(trimmed);
    if (inHtml) {
      if (ClosesHtmlBlock(lower)) inHtml = false;
      continue;
    }
    if (StartsWith(lower, L"<pre") || StartsWith(lower, L"<code")) {
      inHtml = !ClosesHtmlBlock(lower);
      continue;
    }

    if (!IsListItem(trimmed) && (StartsWith(line, L"    ") || StartsWith(line, L"\t"))) continue;
    if (IsCodeLine(trimmed)) continue;

    std::wstring kept(Trim(WithoutInlineCode(trimmed)));
    if (!kept.empty()) {
      if (!out.empty() && !breakPending) out += L"\r\n";
      out += kept;
      breakPending = false;
    } else if (!breakPending && !out.empty()) {
      out += L"\r\n\r\n";
      breakPending = true;
    }
  }
  return std::wstring(Trim(out));
}

}  // namespace aisync
