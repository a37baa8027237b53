#include "ui/MainLayout.h"

namespace qvd::ui {

// Coordinates are relative to the parent control; controls on the window
// are relative to the area between menu bar and the window's bottom edge.
static constexpr Placement kMain[] = {
    // --- region A ---
    {"Panel2", 2, 2, 761, 170, 0, kLowered},
    {"Label2", 6, 2, 120, 14},
    {"Memo1", 6, 16, 196, 148},
    {"Button3", 217, 16, 186, 25},
    {"Button5", 217, 45, 186, 25},
    {"Button1", 217, 74, 186, 25},
    {"CheckBox3", 219, 108, 180, 18},
    {"Label1", 411, 2, 150, 14},
    // Wide enough for the report's 40-character lines, so its columns line up.
    {"Memo2", 411, 16, 344, 148, 13, kFixedPitch},
    {"Label22", 750, 2, 2, 8, 7},
    {"Panel4", 208, 31, 9, 121},
    {"Memo5", 0, 0, 10, 10},

    // --- region B ---
    {"Panel1", 2, 174, 761, 170, 0, kRaised},
    {"GroupBox6", 4, 2, 480, 164},
    {"Label3", 10, 18, 200, 14},
    {"Edit2", 10, 34, 26, 21},
    {"Edit6", 40, 34, 26, 21},
    {"Edit5", 70, 34, 26, 21},
    {"Edit7", 100, 34, 26, 21},
    {"Edit8", 130, 34, 26, 21},
    {"Button7", 10, 64, 66, 25},
    {"Button8", 80, 64, 66, 25},
    {"Button30", 150, 64, 66, 25},
    {"Panel3", 10, 98, 206, 22, 0, kSingleBorder | kCentred},
    {"GroupBox3", 236, 10, 236, 148},
    {"Label16", 8, 22, 122, 14},
    {"Edit1", 132, 19, 36, 21},
    {"Label19", 8, 50, 122, 14},
    {"Edit9", 132, 47, 22, 21},
    {"CheckBox15", 8, 76, 140, 18},
    {"CheckBox16", 8, 96, 140, 18},
    {"Button20", 8, 118, 80, 25},
    {"GroupBox9", 236, 10, 236, 80},
    {"Label20", 8, 24, 70, 14},
    {"Edit12", 80, 21, 22, 21},
    {"Label21", 8, 52, 70, 14},
    {"Edit16", 80, 49, 22, 21},
    // Over the right half of "Zeit/Datum"; the chip's three registers in rows.
    {"GroupBox2", 240, 12, 240, 148},
    {"CheckBox10", 8, 20, 48, 18},
    {"CheckBox1", 58, 20, 48, 18},
    {"CheckBox4", 108, 20, 80, 18},
    {"CheckBox2", 190, 20, 48, 18},
    {"CheckBox6", 8, 44, 48, 18},
    {"CheckBox7", 58, 44, 48, 18},
    {"CheckBox8", 108, 44, 80, 18},
    {"CheckBox9", 190, 44, 48, 18},
    {"CheckBox12", 8, 68, 48, 18},
    {"CheckBox11", 58, 68, 48, 18},
    {"CheckBox13", 108, 68, 80, 18},
    {"CheckBox5", 190, 68, 48, 18},
    {"Button17", 8, 110, 80, 25},
    {"GroupBox7", 488, 2, 269, 164},
    {"Label4", 10, 18, 250, 14},
    {"Button4", 10, 34, 122, 25},
    {"Button2", 138, 34, 122, 25},
    {"Button12", 10, 64, 122, 25},
    {"Panel5", 8, 94, 253, 64},
    {"Label5", 6, 9, 30, 14},
    {"Edit10", 36, 6, 60, 21},
    {"UpDown1", 96, 6, 16, 21},
    {"Label9", 122, 9, 30, 14},
    {"Edit11", 154, 6, 44, 21},
    {"Label17", 204, 9, 44, 14},
    {"Button21", 6, 34, 116, 25},
    {"Button22", 128, 34, 116, 25},

    // --- region C ---
    {"GroupBox4", 2, 346, 761, 258},
    {"Label6", 8, 16, 60, 14},
    {"DBMemo1", 8, 30, 280, 150, 10, kFixedPitch | kNoWrap},
    {"Button6", 8, 184, 280, 25},
    {"Button13", 8, 213, 138, 25},
    {"Button15", 150, 213, 138, 25},
    {"Label7", 296, 16, 60, 14},
    {"DBMemo2", 296, 30, 280, 150, 10, kFixedPitch | kNoWrap},
    {"Button9", 296, 184, 280, 25},
    {"Button14", 296, 213, 138, 25},
    {"Button16", 438, 213, 138, 25},
    {"Label8", 584, 14, 169, 14},
    {"Button18", 584, 30, 169, 25},
    {"GroupBox1", 584, 62, 171, 190},
    {"Label10", 6, 18, 160, 14},
    {"Edit3", 6, 33, 44, 21},
    {"Label12", 54, 36, 30, 14},
    {"Label11", 6, 58, 160, 14},
    {"Edit4", 6, 73, 44, 21},
    {"Label15", 54, 76, 30, 14},
    {"Label13", 6, 100, 160, 14},
    {"Label14", 6, 116, 160, 14},
    {"Button10", 6, 134, 159, 24},
    {"Button11", 6, 160, 159, 24},

    // --- region D: right of x = 765 ---
    {"GroupBox8", 768, 2, 140, 120},
    {"Label18", 8, 18, 124, 30, 0, kBold | kWrap},
    {"Button19", 8, 54, 124, 25},
    {"Button26", 8, 86, 124, 25},
    {"CheckBox14", 770, 130, 120, 18},

    // The status bar follows the window's bottom edge; its panels follow
    // their widths.
    {"StatusBar2", 0, 0, 912, kStatusBarHeight},
};

Placements MainPlacements() { return kMain; }

}  // namespace qvd::ui
