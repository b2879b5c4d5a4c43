#pragma once
// What the windows that pass goods between this register and the suite's other registers share.
#include <functional>

class TfmVoMultiSelect;

// Runs the statements of one transfer in one transaction. When another user holds a row it needs,
// the transfer is tried again from the start, so that its checks see what the other committed. Any
// other failure rolls everything back and shows its message; the list of the window is then read
// again, since what it shows may be stale. Returns whether the transfer committed.
bool kvbRunTransfer(TfmVoMultiSelect *window, const std::function<void()> &write);
