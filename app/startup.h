// One-time preparation once the window exists: the disc's arrays and the
// fixed rendering state.
#pragma once

void init();
