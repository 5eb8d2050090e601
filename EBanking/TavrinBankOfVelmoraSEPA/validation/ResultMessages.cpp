#include "validation/ResultMessages.h"

// The result messages are not built yet: no code has a text.
BSTR ResultMessageFor(long)
{
    return nullptr;
}
