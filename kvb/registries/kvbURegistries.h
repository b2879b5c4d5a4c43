#pragma once
// Registers every window this program opens by class name (its own and the shared registries'),
// before the first window opens: at start-up, and in the tests.
void kvbRegisterWindows();
