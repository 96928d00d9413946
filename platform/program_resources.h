#pragma once
// The pictures and icons built into the program (resources/sidelune.qrc).
// The core is a static library, so its resources must be registered before
// the first use; this may be called any number of times.

void initProgramResources();
