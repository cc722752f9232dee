// Preloaded into the real program by the end-to-end test: writes the wall-clock millisecond of
// every rand() call to the file named by RAND_TRACE, so that the test can count and time the
// program's random draws (eight per curve randomized) without touching the program.
#include <dlfcn.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

extern "C" int rand() {
  static const auto next = reinterpret_cast<int (*)()>(dlsym(RTLD_NEXT, "rand"));
  static FILE* const log = std::fopen(std::getenv("RAND_TRACE"), "a");
  const auto now = std::chrono::system_clock::now().time_since_epoch();
  std::fprintf(log, "%lld\n", static_cast<long long>(now / std::chrono::milliseconds(1)));
  std::fflush(log);
  return next();
}
