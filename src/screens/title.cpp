// Stand-in until the title screen lands: the backdrop, and a left click plays a game at the
// current difficulty.
#include "screens/title.h"

#include "frame/draw.h"
#include "frame/present.h"
#include "game/play.h"

void TitleScreen() {
    for (;;) {
        BeginFrame();
        DrawBackground();
        // A click counted at the last frame's end starts the game, as the real start area will.
        if (FrameClickLeft > 0) {
            PauseState = 1;
            PlayGame();
            PauseState = 0;
        }
        FramePresent(1);
    }
}
