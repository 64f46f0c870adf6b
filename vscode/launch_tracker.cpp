#include "vscode/launch_tracker.h"

#include <chrono>
#include <exception>

#include "i18n/translate.h"
#include "model/utf8.h"

namespace vscode {

Project LaunchCopy(const Project& project) {
  Project copy;
  copy.location = project.location;
  copy.lastAiSession = project.lastAiSession;
  if (project.lastAiSession.source == kAiSourceNone) copy.codexImports = project.codexImports;
  return copy;
}

LaunchReport DescribeLaunchResult(const LaunchResult& result) {
  if (!result.ok || !result.message.empty()) return LaunchReport{true, result.message};
  return LaunchReport{false, result.reusedWindow ? i18n::Translate(L"열려 있는 프로젝트의 VS Code 창을 표시했습니다.")
                                                 : i18n::Translate(L"VS Code에 프로젝트 열기를 요청했습니다.")};
}

namespace {

LaunchResult FailedFromException(std::exception_ptr failure) {
  try {
    std::rethrow_exception(failure);
  } catch (const std::exception& exception) {
    return LaunchResult{false, utf8::ToWide(exception.what()), false};
  } catch (...) {
    return LaunchResult{false, i18n::Translate(L"알 수 없는 오류"), false};
  }
}

}  // namespace

std::future<LaunchResult> StartLaunchTask(std::function<LaunchResult()> operation) {
  try {
    return std::async(std::launch::async, [operation = std::move(operation)]() -> LaunchResult {
      try {
        return operation();
      } catch (...) {
        return FailedFromException(std::current_exception());
      }
    });
  } catch (...) {
    // No thread could be started: the launch fails at once instead of taking the
    // window down.
    std::promise<LaunchResult> failed;
    failed.set_value(FailedFromException(std::current_exception()));
    return failed.get_future();
  }
}

LaunchTracker::LaunchTracker(Operation operation) : operation_(std::move(operation)) {
  if (!operation_) operation_ = [](const Project& project) { return OpenProject(project); };
}

// The futures of std::async wait for their tasks when destroyed; a launch ends on its
// own (the installer wait is bounded), so closing the window waits at most that long.
LaunchTracker::~LaunchTracker() = default;

void LaunchTracker::Start(LaunchOrigin origin, Project project) {
  Operation operation = operation_;
  pending_.push_back(Pending{origin, StartLaunchTask([operation, project = std::move(project)]() {
                               return operation(project);
                             })});
}

std::vector<FinishedLaunch> LaunchTracker::TakeFinished(const std::function<bool(const LaunchOrigin&)>& canReport) {
  std::vector<FinishedLaunch> finished;
  for (auto it = pending_.begin(); it != pending_.end();) {
    const bool done = it->task.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
    if (!done || (canReport && !canReport(it->origin))) {
      ++it;
      continue;
    }
    finished.push_back(FinishedLaunch{it->origin, it->task.get()});
    it = pending_.erase(it);
  }
  return finished;
}

}  // namespace vscode
