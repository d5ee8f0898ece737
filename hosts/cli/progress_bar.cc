#include "hosts/cli/progress_bar.h"

#include <unistd.h>

#include <algorithm>

namespace pelorin::cli {

void ProgressBar::Update(std::int64_t done, std::int64_t total) {
  if (!enabled_ || total <= 0) return;
  done = std::clamp<std::int64_t>(done, 0, total);
  const int percent = static_cast<int>(done * 100 / total);
  if (percent == shown_percent_) return;
  shown_percent_ = percent;
  constexpr int kWidth = 30;
  const int filled = percent * kWidth / 100;
  out_ << '\r' << label_ << " [" << std::string(filled, '#') << std::string(kWidth - filled, ' ')
       << "] " << percent << "% " << done << '/' << total;
  out_.flush();
  drawn_ = true;
}

void ProgressBar::Finish() {
  if (!drawn_) return;
  out_ << '\n';
  out_.flush();
  drawn_ = false;
}

bool ProgressBar::StderrIsTerminal() { return isatty(STDERR_FILENO) == 1; }

}  // namespace pelorin::cli
