#pragma once
// Every test process works in folders of its own: CTest runs the tests in parallel processes, and
// settings, the engine's configuration and the default database live under the home folder, which
// Qt's test mode of the standard paths does not separate by itself.

// Points the home folder at a new temporary folder (removed when the process ends) and turns on the
// test mode of the standard paths. Call first in main, before the application object exists.
void VoTestIsolateProcess();
