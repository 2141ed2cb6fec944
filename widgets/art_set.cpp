// The choice of picture set; see art_set.h.
#include "widgets/art_set.h"

#include "res/resource.h"

// The resource script names the sets' pictures by their own ids.
static_assert(ArtResourceId(IDB_BUTTON_OK, 150) == IDB_BUTTON_OK_150);
static_assert(ArtResourceId(IDB_BUTTON_BANNER, 200) == IDB_BUTTON_BANNER_200);
static_assert(ArtResourceId(IDB_LIGHT_GREY, 150) == IDB_LIGHT_GREY_150);
static_assert(ArtResourceId(IDB_LIGHT_RED, 200) == IDB_LIGHT_RED_200);

int32_t ArtPercentForDpi(int32_t dpi) {
    // Halfway between two sets goes to the larger: a picture a little too large for its text
    // looks better than one a little too small.
    if (dpi >= BASE_DPI * 7 / 4) {
        return 200;
    }
    if (dpi >= BASE_DPI * 5 / 4) {
        return 150;
    }
    return 100;
}
