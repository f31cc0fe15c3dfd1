#include "compiler/post_processing.h"

namespace scenario {

void post_process(CompileState& state) { (void)state; }  // placeholder until post-processing lands

int16_t minimo(int16_t x, int16_t y) { return x > y ? y : x; }

}  // namespace scenario
