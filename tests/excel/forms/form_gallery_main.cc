// form_gallery SCENE [SECONDS]: shows one dialog of the add-in (or a send and
// its status window) in real windows, until it is closed or SECONDS pass.
// Without arguments it lists the scenes.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/excel/forms/gallery.h"

int main(int argc, char** argv) {
  using pelorin::gallery::Gallery;
  if (argc < 2) {
    for (std::string_view scene : Gallery::Scenes()) std::printf("%.*s\n", static_cast<int>(scene.size()), scene.data());
    return 0;
  }
  unsigned seconds = argc > 2 ? static_cast<unsigned>(std::strtoul(argv[2], nullptr, 10)) : 60;
  Gallery gallery;
  if (!gallery.Open(argv[1])) {
    std::fprintf(stderr, "form_gallery: no scene named %s\n", argv[1]);
    return 2;
  }
  std::printf("shown %s\n", argv[1]);
  std::fflush(stdout);
  for (const std::string& message : gallery.ui.messages) std::printf("message box: %s\n", message.c_str());
  std::fflush(stdout);
  pelorin::gallery::RunUntilClosed(gallery, seconds * 1000);
  return 0;
}
