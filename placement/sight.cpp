#include "placement/sight.h"

bool InSight(const Sight& sight) {
    return !sight.locked && !sight.disconnected && !sight.displayOff;
}

SightChange Notice(Sight& sight, SightNotice notice) {
    const bool before = InSight(sight);
    switch (notice) {
    case SightNotice::Lock:
        sight.locked = true;
        break;
    case SightNotice::Unlock:
        sight.locked = false;
        break;
    case SightNotice::Disconnect:
        sight.disconnected = true;
        break;
    case SightNotice::Connect:
        sight.disconnected = false;
        break;
    case SightNotice::DisplayOff:
        sight.displayOff = true;
        break;
    case SightNotice::DisplayDimmed:
    case SightNotice::DisplayOn:
        sight.displayOff = false;
        break;
    }
    const bool after = InSight(sight);
    if (before == after) return SightChange::None;
    return after ? SightChange::Regained : SightChange::Lost;
}
