#pragma once
// Every test process works in folders of its own: CTest runs the tests in parallel processes, and
// settings, the engine's configuration and the default database live under the home folder, which
// Qt's test mode of the standard paths does not separate by itself.

// Points the home folder at a new temporary folder (removed when the process ends) and turns on the
// test mode of the standard paths. Call first in main, before the application object exists.
void VoTestIsolateProcess();

// The exit status of a test binary: the tests' result, or a failure when a database connection is still
// open after the last test. Such a connection (a static object, say) is closed after Qt's registry of
// connections is gone, which crashes the process at exit in an order that only some runs meet.
int VoTestFinish(int result);

// Lets what a test left for the event loop (deferred deletions, zero timers such as the one that
// lifts the swallowing of a pending click) run before the next test, as the program's loop would run
// it before the user's next action. Call after the test framework is initialised.
void VoTestSettleBetweenTests();
