#include "validation/ResultMessages.h"

#include "common/ResourceModule.h"
#include "resources/resource.h"
#include "validation/ResultCodes.h"

bool LoadResultMessage(CString& message, long resultCode)
{
    if (!HasResultMessageId(resultCode)) return false;
    return message.LoadString(ResourceModule(), static_cast<UINT>(IDS_RESULT_MESSAGES + resultCode));
}

BSTR ResultMessageFor(long resultCode)
{
    CString message;
    if (!LoadResultMessage(message, resultCode)) return nullptr;
    return message.AllocSysString();
}
