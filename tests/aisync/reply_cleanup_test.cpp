// Replies are filed as prose: what code removal must take out, and what it must leave.
#include "aisync/reply_cleanup.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using aisync::CleanReplyText;

TEST(ReplyCleanupFences, BlockBetweenSentencesLeavesTheSentencesJoined) {
  EXPECT_EQ(CleanReplyText(L"Fixed the build.\n```js\nconsole.log(1)\n```\nTests pass now."),
            L"Fixed the build.\r\nTests pass now.");
  EXPECT_EQ(CleanReplyText(L"Fixed.\n~~~\nanything\n~~~\nDone."), L"Fixed.\r\nDone.");
}

TEST(ReplyCleanupFences, CloseOnlyWithTheSameCharacterAtLeastAsLongAndNothingBehind) {
  // Each fence below stays open past its inner lines, so "Inside" never survives.
  EXPECT_EQ(CleanReplyText(L"Before\n````md\n```\nInside\n```\n````\nAfter"), L"Before\r\nAfter");
  EXPECT_EQ(CleanReplyText(L"Before\n```\nInside\n~~~\nInside too\n```\nAfter"), L"Before\r\nAfter");
  EXPECT_EQ(CleanReplyText(L"Before\n```\nInside\n``` not a close\nInside\n`````\nAfter"), L"Before\r\nAfter");
  EXPECT_EQ(CleanReplyText(L"Before\n~~~~\nInside\n~~~\n~~~~  \nAfter"), L"Before\r\nAfter");
}

TEST(ReplyCleanupFences, QuoteAndBulletMarkersDoNotHideAFence) {
  EXPECT_EQ(CleanReplyText(L"Look:\n> ```\n> code\n> ```\nEnd"), L"Look:\r\nEnd");
  EXPECT_EQ(CleanReplyText(L"Look:\n>> ```\ncode\n```\nEnd"), L"Look:\r\nEnd");
  EXPECT_EQ(CleanReplyText(L"Steps:\n- ```sh\nmake\n```\nEnd"), L"Steps:\r\nEnd");
  // Two backticks are not a fence: the line is an unclosed inline span, so it reads as blank.
  EXPECT_EQ(CleanReplyText(L"Look:\n``\nEnd"), L"Look:\r\n\r\nEnd");
}

TEST(ReplyCleanupFences, UnclosedFenceSwallowsTheRest) {
  EXPECT_EQ(CleanReplyText(L"Start\n```\nline one\n\nline two"), L"Start");
}

TEST(ReplyCleanup, CodeOnlyReplyBecomesEmpty) {
  EXPECT_EQ(CleanReplyText(L"```python\nprint('x')\n```"), L"");
  EXPECT_EQ(CleanReplyText(L"\n\n```\nx\n```\n\n    indented\n`only inline`\n"), L"");
  EXPECT_EQ(CleanReplyText(L""), L"");
  EXPECT_EQ(CleanReplyText(L" \t\r\n\r\n"), L"");
}

TEST(ReplyCleanupInlineCode, SpansBecomeOneSpace) {
  EXPECT_EQ(CleanReplyText(L"Run `npm test` before pushing."), L"Run before pushing.");
  EXPECT_EQ(CleanReplyText(L"Both `a` `b` work."), L"Both work.");
  EXPECT_EQ(CleanReplyText(L"Glued`x`word"), L"Glued word");
  EXPECT_EQ(CleanReplyText(L"`lead` then prose"), L"then prose");
  // A double-backtick span may hold a single backtick.
  EXPECT_EQ(CleanReplyText(L"Use ``a`b`` here."), L"Use here.");
}

TEST(ReplyCleanupInlineCode, UnclosedRunDropsTheRestOfTheLine) {
  EXPECT_EQ(CleanReplyText(L"Keep this `but not this"), L"Keep this");
  EXPECT_EQ(CleanReplyText(L"Keep `x` and ``not `this"), L"Keep and");
  EXPECT_EQ(CleanReplyText(L"Next line survives `open\nSecond line"), L"Next line survives\r\nSecond line");
}

TEST(ReplyCleanupInlineCode, LineOfOnlyInlineCodeActsAsABlankLine) {
  EXPECT_EQ(CleanReplyText(L"First\n`make all`\nSecond"), L"First\r\n\r\nSecond");
}

TEST(ReplyCleanupCodeLines, WholeLinesOfCodeAreDropped) {
  const wchar_t* const kCode[] = {
      L"#include <windows.h>",
      L"#define MAX 10",
      L"import os",
      L"from pathlib import Path",
      L"def main(argv):",
      L"function start(a) {",
      L"async function load(url) {",
      L"const value = 42;",
      L"let x;",
      L"public:",
      L"private:",
      L"class Widget {",
      L"static int count;",
      L"namespace app {",
      L"return result;",
      L"throw new Error(\"x\");",
      L"if (ready) {",
      L"while(true):",
      L"SELECT * FROM projects",
      L"INSERT INTO t VALUES (1)",
      L"npm install",
      L"pip3 install requests",
      L"cmake --build build",
      L"pytest -q",
      L"python3 tools/gen.py",
      L"pwsh -File build.ps1",
      L"git status",
      L"git   push origin main",
      L"PS C:\\work> dir",
      L"$ ls -la",
      L"--- a/main.cpp",
      L"+++ b/main.cpp",
      L"@@ -1,3 +1,4 @@",
      L"*** Begin Patch",
      L"*** Update File: a.txt",
      L"};",
      L"]",
      L"{",
      L"\"name\": \"tavrilo\",",
      L"\"key\" : 1",
  };
  for (const wchar_t* line : kCode) {
    EXPECT_EQ(CleanReplyText(std::wstring(L"Before\n") + line + L"\nAfter"), L"Before\r\nAfter") << line;
  }
}

TEST(ReplyCleanupCodeLines, ProseThatMentionsCodeIsKept) {
  const wchar_t* const kProse[] = {
      L"Run git status to see the changes.",
      L"I used git status before committing.",
      L"git statuses differ",            // no word boundary after the command
      L"Update the README next.",        // SQL keywords are upper case only
      L"select the file first",
      L"Imported the module already.",   // "import" needs white space after it
      L"If it works, we are done.",      // no parenthesised condition
      L"Classes are fine here.",
      L"The return value is fine;",      // a return statement starts the line
      L"$5 is the price",                // a shell prompt needs the space
      L"-- a comment",
      L"** bold **",
      L"\"quoted\" words without a colon",
  };
  for (const wchar_t* line : kProse) {
    EXPECT_EQ(CleanReplyText(line), line) << line;
  }
}

TEST(ReplyCleanupHtml, CompleteElementOnOneLineStartsNoBlock) {
  EXPECT_EQ(CleanReplyText(L"Intro\n<pre>x = 1</pre>\nOutro"), L"Intro\r\nOutro");
  EXPECT_EQ(CleanReplyText(L"Intro\n<code>a</CODE>\nOutro"), L"Intro\r\nOutro");
}

TEST(ReplyCleanupHtml, OpeningTagInAnyCaseStartsABlockUntilItCloses) {
  EXPECT_EQ(CleanReplyText(L"Intro\n<PRE class=\"x\">\nint a;\nhidden prose\nend </Pre>\nOutro"),
            L"Intro\r\nOutro");
  EXPECT_EQ(CleanReplyText(L"Intro\n<code>\nhidden\n</code>\nOutro"), L"Intro\r\nOutro");
  // Closing a code element also ends a block opened by pre.
  EXPECT_EQ(CleanReplyText(L"Intro\n<pre>\nhidden\n</code>\nOutro"), L"Intro\r\nOutro");
  // Mentioning a tag in the middle of a sentence is prose.
  EXPECT_EQ(CleanReplyText(L"Wrap it in <pre> tags."), L"Wrap it in <pre> tags.");
}

TEST(ReplyCleanupIndentation, IndentedCodeGoesListItemsStay) {
  EXPECT_EQ(CleanReplyText(L"Text\n    int a = 0;\n\tb();\nMore"), L"Text\r\nMore");
  EXPECT_EQ(CleanReplyText(L"Steps:\n    - first\n    * second\n    12. third\n    3) fourth"),
            L"Steps:\r\n- first\r\n* second\r\n12. third\r\n3) fourth");
  EXPECT_EQ(CleanReplyText(L"- bullet\n* star\n1. one"), L"- bullet\r\n* star\r\n1. one");
  // Three spaces are not code; digits without the marker's space are no list item.
  EXPECT_EQ(CleanReplyText(L"Text\n   three spaces\n    1.5 is a number\n    2.\nEnd"),
            L"Text\r\nthree spaces\r\nEnd");
  EXPECT_EQ(CleanReplyText(L"> quoted line"), L"> quoted line");
}

TEST(ReplyCleanupBlankLines, RunsFoldToOneEmptyLineAndEdgesAreTrimmed) {
  EXPECT_EQ(CleanReplyText(L"\n\n  First paragraph.  \n\n\n\nSecond paragraph.\n\n"),
            L"First paragraph.\r\n\r\nSecond paragraph.");
  EXPECT_EQ(CleanReplyText(L"One\n \t \nTwo"), L"One\r\n\r\nTwo");
  // Dropped code leaves no trace, but a blank line next to it still separates.
  EXPECT_EQ(CleanReplyText(L"One\n```\nx\n```\n\n```\ny\n```\nTwo"), L"One\r\n\r\nTwo");
  EXPECT_EQ(CleanReplyText(L"One\ngit status\n\ngit diff\nTwo"), L"One\r\n\r\nTwo");
}

TEST(ReplyCleanupBlankLines, CrLfInputGivesTheSameResultAsLf) {
  const std::wstring lf = L"Intro\n\n```\ncode\n```\n- item\n    indented\nEnd";
  std::wstring crlf;
  for (wchar_t c : lf) {
    if (c == L'\n') crlf += L'\r';
    crlf += c;
  }
  EXPECT_EQ(CleanReplyText(crlf), L"Intro\r\n\r\n- item\r\nEnd");
  EXPECT_EQ(CleanReplyText(crlf), CleanReplyText(lf));
  // A lone CR is no line break.
  EXPECT_EQ(CleanReplyText(L"a\rb"), L"ab");
}

TEST(ReplyCleanup, KoreanProseStaysIntact) {
  EXPECT_EQ(CleanReplyText(L"빌드 오류를 고쳤습니다.\n```cpp\nint main() {}\n```\n테스트도 모두 통과합니다.\n\n"
                           L"`npm test` 명령으로 확인했습니다."),
            L"빌드 오류를 고쳤습니다.\r\n테스트도 모두 통과합니다.\r\n\r\n명령으로 확인했습니다.");
  EXPECT_EQ(CleanReplyText(L"\u3000전각 공백으로 시작하는 줄"), L"\u3000전각 공백으로 시작하는 줄");
}

TEST(ReplyCleanup, LongLinesNeitherCrashNorLoseText) {
  std::wstring prose(20000, L'a');
  EXPECT_EQ(CleanReplyText(L"const " + prose), L"const " + prose);
  EXPECT_EQ(CleanReplyText(L"const " + prose + L";"), L"");
  EXPECT_EQ(CleanReplyText(L"from " + prose + L" import x"), L"");
}

}  // namespace
