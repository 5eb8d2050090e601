#include "dialog/FileDialogFilter.h"

#include <algorithm>

std::string FileDialogFilter(const std::string& extension)
{
    std::string filter = extension.empty()
                             ? std::string("All Files (*.*)|*.*||")
                             : "Payment Files (*." + extension + ")|*." + extension + "|All Files (*.*)|*.*||";
    std::replace(filter.begin(), filter.end(), '|', '\0');
    return filter;
}
