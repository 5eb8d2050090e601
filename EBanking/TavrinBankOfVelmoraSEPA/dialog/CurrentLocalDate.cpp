#include "dialog/CurrentLocalDate.h"

#include <windows.h>
#include <oleauto.h>

DATE CurrentLocalDate()
{
    SYSTEMTIME now{};
    GetLocalTime(&now);
    DATE date = 0.0;
    SystemTimeToVariantTime(&now, &date);
    return date;
}
