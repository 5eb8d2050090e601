#pragma once
// The message boxes that the component shows, kept as rows in common/MessageBoxes.inc.

#include <windows.h>

struct MessageBoxText {
    const char* caption;
    const char* text; // a template: see common/TextTemplate.h
    UINT flags;
};

#define SEPA_MESSAGE_BOX(name, caption, text, flags) inline constexpr MessageBoxText name = {caption, text, flags};
#include "common/MessageBoxes.inc"
#undef SEPA_MESSAGE_BOX
