#include "hosts/cli/interrupt_watch.h"

#include <signal.h>

namespace pelorin::cli {
namespace {

volatile sig_atomic_t g_caught = 0;
struct sigaction g_old_int {};
struct sigaction g_old_term {};

void Note(int number) {
  if (g_caught == 0) g_caught = number;
}

}  // namespace

InterruptWatch::InterruptWatch() {
  g_caught = 0;
  struct sigaction action {};
  action.sa_handler = Note;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;  // the transfer in flight carries on
  sigaction(SIGINT, &action, &g_old_int);
  sigaction(SIGTERM, &action, &g_old_term);
}

InterruptWatch::~InterruptWatch() {
  sigaction(SIGINT, &g_old_int, nullptr);
  sigaction(SIGTERM, &g_old_term, nullptr);
}

int InterruptWatch::signal() const { return g_caught; }

}  // namespace pelorin::cli
