// The program-wide settings, the product's fixed names, and the program-wide
// objects that other folders reach.
#pragma once
#include <windows.h>
#include <string>

#include "app/version_number.h"

struct SetupState {
  std::string InstallDir;
  std::string SourceDir;
  std::string GroupName;
  int IsNewInstall = 0;
  int IsUpgrade = 0;
  int RunAfterInstall = 0;
  int AllUsers = 0;
  int AutoStart = 0;
  int DesktopIcon = 1;
  int Silent = 0;
  VersionNumber ProductVersion;
};

extern SetupState theSetupState;

// Product constants. Paths that begin with a backslash are appended to a folder that has none.
namespace product {
inline constexpr char kSetupExeName[] = "setup.exe";
inline constexpr char kProductExe[] = "\\LmShot6.exe";
inline constexpr char kProductExeName[] = "LmShot6.exe";
inline constexpr char kOldProductExe4[] = "\\LmShot.exe";
inline constexpr char kOldProductExe5[] = "\\LmShot5.exe";
inline constexpr char kOldHandlerValue[] = "LmShotOld";
inline constexpr char kUninstallerExe[] = "\\LmUnInst.exe";
inline constexpr char kInstallLog[] = "\\LmUnInst.log";
inline constexpr char kInstallLogName[] = "LmUnInst.log";
inline constexpr char kOlderInstallLog[] = "\\install.log";
inline constexpr char kOlderInstallLogName[] = "install.log";
inline constexpr char kHomePageUrl[] = "\\HomePage.url";
inline constexpr char kHelpFile[] = "\\LmShot6Man.chm";
inline constexpr char kReadmeFile[] = "\\readme.txt";
inline constexpr char kSettingsFileName[] = "LmShot6.ini";
inline constexpr char kAgreementFileName[] = "agreement.txt";
inline constexpr char kLinkExtension[] = ".lnk";
inline constexpr char kProbeSuffix[] = ".toinst";
inline constexpr char kOldSuffix[] = ".old";
inline constexpr char kNewSuffix[] = ".new";
inline constexpr char kProductFolder[] = "\\Lumishot 6";
inline constexpr char kProductName[] = "Lumishot 6";
inline constexpr char kWininitFile[] = "WININIT.INI";
inline constexpr char kRenameSection[] = "rename";
inline constexpr char kDeleteKeyPrefix[] = "NUL=";
inline constexpr char kTempPrefix[] = "uni";

inline constexpr char kVendorName[] = "Orvantic";
inline constexpr char kProductKey[] = "SOFTWARE\\Orvantic\\Lumishot 6";
inline constexpr char kAppPathsKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\LmShot6.exe";
inline constexpr char kAppPathsParent[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths";
inline constexpr char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Lumishot 6";
inline constexpr char kUninstallParent[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
inline constexpr char kCurrentVersionKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
inline constexpr char kShellFoldersKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
inline constexpr char kFileExtsKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts";
inline constexpr char kDocumentType[] = "LS6.Document";
inline constexpr char kHandlerValue[] = "Application";
inline constexpr char kPublisher[] = "Orvantic Technology LLC";

inline constexpr char kInstanceAppName[] = "Orvantic.Lumishot-XR.v4";
inline constexpr char kWindowTitlePrefix[] = "Lumishot";
inline constexpr char kSfxVariable[] = "sfxname";
inline constexpr char kAppDataReference[] = "%APPDATA%";
inline constexpr char kVendorUrl[] = LM_VENDOR_URL;
inline constexpr char kInstallScriptPage[] = "/lsxr/InstScript.asp";
inline constexpr char kInstalledPage[] = "/lsxr/installed.asp";

inline constexpr UINT kCloseRequestParam = 1001;  // wParam of the WM_CLOSE posted to running instances
}  // namespace product
