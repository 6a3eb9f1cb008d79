// Control bindings, joystick ports and the input scan.
#include "input/controls.h"

int Bindings[kBindingCount];
JoystickPort JoystickPorts[kMaxJoystickPorts + 1];
int JoystickPortCount = 0;

void SetDefaultBindings() {}
void ProbeJoysticks() {}
int BindingDown(int) { return 0; }
int ControlDown(int, int) { return 0; }
int ScanAnyInput() { return 0; }
