// Without a screen the header dialog answers at once (HeaderDialog's own Edit).
#include "scoring/header_dialog.h"

HeaderDialog& PlatformHeaderDialog() {
    static HeaderDialog dialog;
    return dialog;
}
