#pragma once
// How both programs make and bring up to date their database, and how they stop: a new default
// database is made with the wait window telling what is being done and how far it got, an older one
// gains the program's scripts, and SIGTERM or SIGINT ends the program cleanly.
#include <QString>

// Makes a new database with its demo data, with the wait window open over the main window meanwhile.
bool AbcCreateDatabase(const QString &path, QString *error);

void AbcPrepareDatabase();
