// The VS Code launches a window has started: each runs as a background task, and the
// window collects the finished ones from its timer when it can report them.
#pragma once

#include <windows.h>

#include <functional>
#include <future>
#include <string>
#include <vector>

#include "model/project.h"
#include "vscode/open_project.h"

namespace vscode {

// Where a launch was started: the window that reports its result and the button (or null)
// that shows "여는 중…" meanwhile. The tracker only carries them.
struct LaunchOrigin {
  HWND owner = nullptr;
  HWND button = nullptr;
};

struct FinishedLaunch {
  LaunchOrigin origin;
  LaunchResult result;
};

// The copy of a project a launch works on: its location and latest conversation, and
// its imported record keys only when no conversation is stored (the launch then finds
// the newest one in the record folders).
Project LaunchCopy(const Project& project);

// The text the main window shows for a result, and whether it is a warning for the
// message box (a failure, or a success with a warning) rather than a status line.
struct LaunchReport {
  bool warning = false;
  std::wstring text;
};
LaunchReport DescribeLaunchResult(const LaunchResult& result);

// Runs `operation` on a task of its own. An exception thrown inside becomes a failed
// result whose message is the exception's text read as UTF-8.
std::future<LaunchResult> StartLaunchTask(std::function<LaunchResult()> operation);

class LaunchTracker {
 public:
  using Operation = std::function<LaunchResult(const Project&)>;

  // The operation is OpenProject unless a test gives another.
  explicit LaunchTracker(Operation operation = {});
  ~LaunchTracker();
  LaunchTracker(const LaunchTracker&) = delete;
  LaunchTracker& operator=(const LaunchTracker&) = delete;

  // Starts the operation on a copy of `project` (made with LaunchCopy by the caller, or
  // as it is) in the background.
  void Start(LaunchOrigin origin, Project project);

  // Removes and returns, in start order, the launches that have finished and whose
  // origin `canReport` accepts (the owner is enabled); the others stay.
  std::vector<FinishedLaunch> TakeFinished(const std::function<bool(const LaunchOrigin&)>& canReport);

  size_t pending() const { return pending_.size(); }

 private:
  struct Pending {
    LaunchOrigin origin;
    std::future<LaunchResult> task;
  };
  Operation operation_;
  std::vector<Pending> pending_;
};

}  // namespace vscode
