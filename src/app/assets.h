// Shared assets loaded at every display set-up: fonts, icon strips, logos, badge sound and images.
// Stand-in until the asset loader lands: loads the fonts and icons that exist, nothing else.
#pragma once

// Font ids (0 = none). Fonts: fixed roles in slots 1-13. FontGrid: (typeface - 1) * 10 + step for
// typefaces 1-3 and size steps 0-8. Written by LoadCommonAssets at every display set-up.
extern int Fonts[20];
extern int FontGrid[100];
// Image and sample ids (0 = none), replaced at every display set-up.
extern int IconStrip;       // 64 frames of 16 x 16, filtered; frame 63 is the pointer
extern int IconStripSharp;  // the same frames, unfiltered
extern int CommonLogo;
extern int PartnerLogo;
extern int BadgeSound;
extern int BadgeImages;

void LoadCommonAssets();
