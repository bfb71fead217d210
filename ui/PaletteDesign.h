#pragma once

#include <QRect>

// The palette as designed, in twips (1440 to the inch). The window works in logical pixels at
// 15 twips each, so every design value below converts exactly or to the nearest pixel.
namespace PaletteDesign {

constexpr int TwipsPerPixel = 15;

constexpr int Px(int twips)
{
    return (twips + TwipsPerPixel / 2) / TwipsPerPixel;
}

constexpr QRect PxRect(int left, int top, int width, int height)
{
    return QRect(Px(left), Px(top), Px(width), Px(height));
}

// The window's inside.
constexpr int ClientWidth = 2760;
constexpr int ClientHeight = 990;
// Where the bottom-right corner of the outer frame stands, measured from the screen's.
constexpr int ScreenBottomGap = 900;
constexpr int ScreenRightGap = 100;

constexpr QRect Fra_Items = PxRect(0, 0, 2745, 975);
constexpr QRect Chk_Most = PxRect(2460, 60, 195, 210);
constexpr QRect Lbl_Button定型 = PxRect(210, 300, 2205, 195);
constexpr QRect Lbl_ButtonLink = PxRect(2370, 450, 345, 195);
constexpr QRect Line1_0 = PxRect(150, 570, 2400, 15);
constexpr QRect Line1_1 = PxRect(150, 585, 2400, 15);
constexpr QRect Lbl_Button = PxRect(180, 660, 2445, 225);

// Colours as RRGGBB.
constexpr unsigned BaseColor = 0xFFC0FF;
constexpr unsigned FrameBack = 0xC0FFC0;
constexpr unsigned FrameText = 0x008000;
constexpr unsigned CheckText = 0x0000C0;
constexpr unsigned LabelText = 0x0000C0;
constexpr unsigned LineGrey = 0x808080;
constexpr unsigned LineWhite = 0xFFFFFF;

// Font sizes in points.
constexpr double WindowFontSize = 9;
constexpr double FrameFontSize = 9.75;
constexpr double CheckFontSize = 8.25;
constexpr double LinkFontSize = 5.25;
// What a release restores.
constexpr double ButtonRestSize = 9;
constexpr double LinkRestSize = 5;

}
