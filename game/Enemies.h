#ifndef ENEMIES_H
#define ENEMIES_H

#include "ContactSide.h"

// The enemies of the play screen: sprites in the "enemies" layer that walk, fly or rise
// and sink by the rules of their kind, and hurt or are stomped by the hero on contact.

// Decides what the hero's contacts with enemies do after a play event, recording each
// contact's side in the ContactCount entries of contacts (asserted not null).
void ResolveEnemyContacts(ContactSide* contacts);

#endif
