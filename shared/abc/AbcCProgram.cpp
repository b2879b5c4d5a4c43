#include "AbcCProgram.h"

namespace {
const TAbcProgram *g_program = nullptr;
} // namespace

const TAbcProgram &AbcProgram() {
    if (g_program)
        return *g_program;
    static const TAbcProgram none;
    return none;
}

void AbcSetProgram(const TAbcProgram &program) {
    g_program = &program;
}
