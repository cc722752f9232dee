// The keyboard handler: the space bar asks for new targets without waiting for the timer.
#include "scene.h"

// Retargeting here leaves the watch alone, so the timed choices keep their two-second rhythm;
// the next idle step eases toward the new targets and asks for the redraw.
void keyboard(unsigned char key, int, int) {
  if (key == ' ') retarget();
}
