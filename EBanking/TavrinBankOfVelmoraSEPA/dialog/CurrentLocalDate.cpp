#include "dialog/CurrentLocalDate.h"

#include "common/LocalClock.h"

#include <oleauto.h>

DATE CurrentLocalDate()
{
    SYSTEMTIME now = CurrentLocalTime();
    DATE date = 0.0;
    SystemTimeToVariantTime(&now, &date);
    return date;
}
