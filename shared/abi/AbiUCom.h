#pragma once
// The places of the registry: the lists of places that the registry's place lookups show.

// Places with their state ("ROMA (RM) - ITALIA"), as the lookups of birth places, seats and payees
// list them.
extern const char *const kPlacesWithStateSQL;
// Places without their state, as the lookups of the legal data list them.
extern const char *const kPlacesWithoutStateSQL;

// The places still in force, as the legal data's searches list them.
extern const char *const kPlacesInForceSQL;

class TVoDBLookupEdit;
class TVoSearchDialog;

// The search of a lookup of places with state: the places of one state, the state of the place shown
// (the home country when none); the place search form chooses the state itself.
void SetPlacesOfStateSearch(TVoDBLookupEdit *lookup, TVoSearchDialog *form);
// The columns of a place search ("Comuni"); the place search form starts on the state of the place
// shown.
void ShowPlacesSearchForm(TVoDBLookupEdit *lookup, TVoSearchDialog *form);
