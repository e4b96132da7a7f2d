// Whether anybody can see the clock. A locked or disconnected session and a
// display that is off hide it from everyone; the tick then stops, and a
// whole frame comes back when it can be seen again (what the screen showed
// meanwhile is not what the surface holds). The shell feeds it the system's
// notices.
#pragma once

struct Sight {
    bool locked = false;       // the session is locked
    bool disconnected = false; // the session has no console or remote connection
    bool displayOff = false;   // the display is off (dimmed still shows the clock)
};

// What a notice changes about who can see the clock.
enum class SightNotice { Lock, Unlock, Disconnect, Connect, DisplayOff, DisplayDimmed, DisplayOn };
enum class SightChange { None, Lost, Regained };

bool InSight(const Sight& sight);

// Applies `notice` to `sight` and says whether the clock just went out of
// sight, came back into sight, or neither (a repeated notice, or a change
// while another reason still hides it).
SightChange Notice(Sight& sight, SightNotice notice);
