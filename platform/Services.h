#pragma once

#include "platform/Clock.h"
#include "platform/MessageBoxes.h"
#include "platform/Timer.h"
#include "platform/WebLauncher.h"

namespace platform {

// The services a window gets from whoever creates it: message and input boxes, the clock, the
// browser and the timers.
struct Services {
    MessageBoxes &messages;
    Clock &clock;
    WebLauncher &web;
    Timers &timers;
};

}  // namespace platform
