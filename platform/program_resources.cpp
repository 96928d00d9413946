#include "platform/program_resources.h"

#include <QtGlobal>

// Q_INIT_RESOURCE declares the registration function, which must happen
// outside any namespace.
static void registerResources()
{
    Q_INIT_RESOURCE(sidelune);
}

void initProgramResources()
{
    static const bool registered = (registerResources(), true);
    Q_UNUSED(registered);
}
