// Assistant replies are filed as prose: code is taken out of them.
#pragma once

#include <string>
#include <string_view>

namespace aisync {

// The reply without fenced code, HTML blocks, indented code and inline code, with runs
// of blank lines folded; empty when nothing but code was said.
std::wstring CleanReplyText(std::wstring_view text);

}  // namespace aisync
