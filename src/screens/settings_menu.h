// The settings menu overlay, run by FramePresent every frame; Tab opens and closes it.
#pragma once

void SettingsMenu();
