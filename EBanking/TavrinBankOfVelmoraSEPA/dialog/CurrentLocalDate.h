#pragma once

#include <wtypes.h>

// The local wall-clock time now as a DATE, time of day included.
DATE CurrentLocalDate();
