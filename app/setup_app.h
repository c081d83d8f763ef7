// The application object: chooses the run mode and hands over to setup, the
// uninstaller's relaunch, or the self-deleting removal.
#pragma once
#include <string>

#include "framework/app.h"

class CSetupApp : public CWinApp {
 public:
  CSetupApp() = default;
  BOOL InitInstance() override;

 protected:
  // The hand-overs of the three run modes. Tests of the mode choice replace them.
  virtual BOOL EnterSetup();
  virtual void EnterRelaunch();
  // The temporary copy's work before its closing message: wait for the installed
  // uninstaller to end, schedule the own file for deletion, delete the
  // installed uninstaller, remove the product.
  virtual void RemoveAsTemporaryCopy(const std::string& installedUninstaller);
};
