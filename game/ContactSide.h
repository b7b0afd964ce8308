#ifndef CONTACT_SIDE_H
#define CONTACT_SIDE_H

// Which side of a platform or enemy P a moving node M touches. The hero's settling and the
// enemy contacts of the play screen share one array of ContactCount of them, so a contact
// found beyond the fourth takes no part in that event.
enum class ContactSide {
    None = 0,      // touching, but no side applies
    Top = 1,       // M is on top of P
    LeftSide = 2,  // for platforms, M is left of P; enemies give it their own meaning
    Bottom = 3,    // M is below P
    RightSide = 4, // for platforms, M is right of P
};

// The number of contacts a play event looks at.
constexpr int ContactCount = 4;

#endif
