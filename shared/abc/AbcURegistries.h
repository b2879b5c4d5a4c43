#pragma once
// The shared registries' windows by their class names: beneficiaries and places with their selection
// dialogs, budget items and aggregates, delivery sectors with their search boxes; with those of the
// report layer and the add-ons beneath them. Both programs register them at start-up.
void AbcRegisterWindows();
