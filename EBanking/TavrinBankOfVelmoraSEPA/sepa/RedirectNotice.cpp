#include "sepa/RedirectNotice.h"

#include "common/FileNames.h"
#include "common/MessageBoxes.h"
#include "common/TextTemplate.h"
#include "sepa/OutputPath.h"

namespace {
const std::size_t kDriveRootLength = 3; // "C:\"
}

std::string VirtualStorePath(const std::string& localAppDataFolder, const std::string& path)
{
    if (path.size() < kDriveRootLength) return std::string();
    std::string virtualPath = localAppDataFolder + kVirtualStoreFolder + path.substr(kDriveRootLength);
    return FitsInPathBuffer(virtualPath) ? virtualPath : std::string();
}

std::string ParentFolder(const std::string& path)
{
    const std::string::size_type separator = path.find_last_of('\\');
    return separator == std::string::npos ? std::string() : path.substr(0, separator);
}

std::string FormatRedirectMessage(const std::string& virtualPath)
{
    return FillTemplate(kWindowsRedirectBox.text, {{"virtualPath", virtualPath}});
}

void NotifyIfRedirected(IRedirectPlatform& platform, const std::string& path)
{
    if (path.size() < kDriveRootLength) return;
    if (!platform.IsFixedDrive(path.substr(0, kDriveRootLength))) return;
    if (platform.IsProcessElevated()) return;
    const std::string virtualPath = VirtualStorePath(platform.LocalAppDataFolder(), path);
    if (virtualPath.empty() || !platform.CanOpenExistingFile(virtualPath)) return;
    if (platform.AskToOpenFolder(FormatRedirectMessage(virtualPath))) platform.OpenFolder(ParentFolder(virtualPath));
}
