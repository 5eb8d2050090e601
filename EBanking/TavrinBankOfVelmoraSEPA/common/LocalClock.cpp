#include "common/LocalClock.h"

SYSTEMTIME CurrentLocalTime()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    return now;
}
