// SPDX-License-Identifier: MIT
#include "level/packops.h"

#include "level/levelstore.h"

namespace tess {

LevelRecord emptylevel(int number) {
    StoreFields fields;
    fields.title = newleveltitle(number);
    return buildrecord(LevelRecord{}, fields).record;
}

} // namespace tess
