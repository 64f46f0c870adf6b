// The command line and environment block of a VS Code process.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vscode {

// One argument quoted by the rule the C runtime's parser undoes: every argument is
// quoted, backslashes before a quote or the closing quote are doubled, quotes escaped.
std::wstring QuoteArgument(std::wstring_view text);

// Whether a Claude Code model may be handed to the new process as ANTHROPIC_MODEL:
// not empty, only A-Z, a-z, 0-9, ".", "_" and "-".
bool IsPassableModel(std::wstring_view model);

// The name of an environment entry "NAME=value"; an entry's own first character is
// never the separator ("=C:=C:\x" is named "=C:").
std::wstring_view EnvironmentEntryName(std::wstring_view entry);

// The entries VS Code gets: the program's own without VS Code's inner variables (all
// VSCODE_* but VSCODE_PORTABLE and VSCODE_EXTENSIONS) and without ELECTRON_RUN_AS_NODE,
// plus ELECTRON_RUN_AS_NODE=1 when running as a script host and ANTHROPIC_MODEL when a
// model is given; sorted ignoring case, as CreateProcess expects.
std::vector<std::wstring> VsCodeEnvironment(const std::vector<std::wstring>& own, bool runAsNode,
                                            std::wstring_view model);

// Entries joined, each followed by a NUL, with one more NUL at the end.
std::wstring EnvironmentBlock(const std::vector<std::wstring>& entries);

// The calling process's environment entries.
std::vector<std::wstring> CurrentEnvironment();

}  // namespace vscode
