#pragma once
// The messages of the programs shown as message boxes, with the Italian captions of the buttons.
#include "VoMessages.h"

// Installs the message boxes as the message service's responder (the programs call it at start).
void VoUseMessageBoxes();
