#pragma once
// The places of the registry: the foreign municipalities' module made when first needed, and the
// lists of places that the registry's place lookups show.

// Places with their state ("ROMA (RM) - ITALIA"), as the lookups of birth places, seats and payees
// list them.
extern const char *const kPlacesWithStateSQL;
// Places without their state, as the lookups of the legal data list them.
extern const char *const kPlacesWithoutStateSQL;

// Makes the foreign municipalities' module (dmComuni) when there is none, bound to the global
// connection. False, with no module, when there is no connection to bind it to; nothing is shown.
bool EnsureComuniModule();
