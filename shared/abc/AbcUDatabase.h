#pragma once
// How both programs make and bring up to date their database, and how they stop: a new default
// database is made with the wait window telling what is being done and how far it got, an older one
// gains the program's scripts, and SIGTERM or SIGINT ends the program cleanly.
void AbcPrepareDatabase();
