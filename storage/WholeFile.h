#pragma once

#include "platform/WholeFile.h"

namespace storage {

// Files are written whole or not at all by the platform's helper, which the windows' PDF and
// printer choice use as well.
using platform::writeWholeFile;

}  // namespace storage
