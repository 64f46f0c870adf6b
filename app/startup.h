// The program's start: single instance, hand-over to a running instance, process
// set-up, the main window and the message loop.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace startup {

constexpr const wchar_t* kMutexName = L"Local\\Quenlor.Singleton";

struct CommandLine {
  std::wstring path;
  bool startHidden = false;
};
// Arguments after the program name: "--startup" in any case hides the window, the
// first other argument is the project file (made absolute against the current folder),
// the rest is ignored.
CommandLine ParseArguments(const std::vector<std::wstring>& arguments);
CommandLine ParseProcessCommandLine();

// Hands the path (or an activation request) to the running instance's window.
// Returns false when no such window appeared within the attempts.
bool HandOver(const CommandLine& commandLine);

int Run(HINSTANCE instance, int showCommand);

}  // namespace startup
