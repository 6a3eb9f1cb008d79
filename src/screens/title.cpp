// Stand-in until the title screen lands: the backdrop until the window is closed.
#include "screens/title.h"

#include "frame/draw.h"
#include "frame/present.h"

void TitleScreen() {
    for (;;) {
        BeginFrame();
        DrawBackground();
        FramePresent(1);
    }
}
