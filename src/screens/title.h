// The title screen: tabs, difficulty choice, start area; returns when the player quits.
#pragma once

void TitleScreen();
