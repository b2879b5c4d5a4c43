#include "AbcCProgram.h"

namespace {
// A plain pointer, set before any dynamic initialisation reads it.
const TAbcProgram &(*g_profile)() = nullptr;
} // namespace

const TAbcProgram &AbcProgram() {
    if (g_profile)
        return g_profile();
    static const TAbcProgram none;
    return none;
}

TAbcProgramRegistrar::TAbcProgramRegistrar(const TAbcProgram &(*profile)()) {
    g_profile = profile;
}
