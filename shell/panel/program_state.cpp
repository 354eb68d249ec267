#include "shell/panel/program_state.h"

ProgramState& Program() {
    // Deliberately never deleted: no destructor may free the skins or the font behind the
    // destroy handler's back, nor on a start-up failure.
    static ProgramState* const program = new ProgramState();
    return *program;
}
