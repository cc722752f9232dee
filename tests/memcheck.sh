#!/usr/bin/env bash
# The real program under valgrind memcheck for a few seconds, through two retargets; then it is
# closed: no invalid reads or writes, no use of undefined values, and no definite leaks but
# the GL driver's own (valgrind.supp; preload the driver so that it can be named). The scene
# lives until exit by design. Valgrind reports on the program's stderr, which must stay empty.
# Usage: memcheck.sh PATH_TO_BEZIER2D PATH_TO_RAND_TRACER PATH_TO_CLOSE_WINDOW
set -euo pipefail

launcher=(valgrind -q --leak-check=full --errors-for-leak-kinds=definite --error-exitcode=99
  --suppressions="$(dirname "$0")/valgrind.supp" --num-callers=40)
source "$(dirname "$0")/e2e_common.sh"

wait_for_retarget_after 1 30
close_and_expect_clean_exit
echo "ok: memcheck, through $(retargets) retargets"
