#include "texts/FlagBitmaps.h"

#include "texts/Texts.h"

namespace kpw::texts {

// clang-format off
const char* const BANNER0[] = {
    "16 16 4 1",
    "S c #C0C0C0",
    "B c #0000FF",
    "R c #FF0000",
    "W c #FFFFFF",
    "SSSSSSSSSSSSSSSS",
    "BBBBBBBBBRRRRRRR",
    "BWBWBWBWBWWWWWRW",
    "BBBBBBBBBRRRRRWB",
    "BWBWBWBWBWWRRWBB",
    "BBBBBBBBBRRWWBBB",
    "BWBWBWBWBRWWWWWW",
    "BBBBBBBBBRRRRRRR",
    "WWWWWWWRRRRRRRRR",
    "RRRRRRRRRRWWWWWW",
    "WWWWWRWRRWRWWBBB",
    "RRRRRWWRRWWRRWBB",
    "WWRWWBWRRWBWWRWB",
    "RRWBBBWRRWBBBWRW",
    "RWBBBBWRRWBBBBWR",
    "SSSSSSSSSSSSSSSS",
};
// clang-format on

// clang-format off
const char* const BANNER1[] = {
    "16 16 4 1",
    "S c #C0C0C0",
    "K c #000000",
    "R c #FF0000",
    "Y c #FFFF00",
    "KKKKKKKKKKKKKKKK",
    "KKKKKKKKKKKKKKKK",
    "KKKKKKKKKKKKKKKK",
    "KKKKKKKKKKKKKKKK",
    "KKKKKKKKKKKKKKKK",
    "RRRRRRRRRRRRRRRR",
    "RRRRRRRRRRRRRRRR",
    "RRRRRRRRRRRRRRRR",
    "RRRRRRRRRRRRRRRR",
    "RRRRRRRRRRRRRRRR",
    "YYYYYYYYYYYYYYYY",
    "YYYYYYYYYYYYYYYY",
    "YYYYYYYYYYYYYYYY",
    "YYYYYYYYYYYYYYYY",
    "YYYYYYYYYYYYYYYY",
    "SSSSSSSSSSSSSSSS",
};
// clang-format on

const char* const* FlagBitmap(int language) {
    switch (language) {
        case English:
            return BANNER0;
        case German:
            return BANNER1;
        default:
            return nullptr;
    }
}

}  // namespace kpw::texts
