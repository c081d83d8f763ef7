// Placeholder until the shared list is written: no list can be reached.
#include "instances/instance_manager.h"

COXInstanceManager::COXInstanceManager(const std::string& applicationName)
    : ApplicationName(applicationName) {}
COXInstanceManager::~COXInstanceManager() = default;
int COXInstanceManager::CountInstances() { return 0; }
BOOL COXInstanceManager::ListInstanceIds(CDWordArray&) { return FALSE; }
BOOL COXInstanceManager::RegisterInstance(DWORD) { return FALSE; }
BOOL COXInstanceManager::UnregisterInstance(DWORD) { return FALSE; }
void COXInstanceManager::ResetInstanceList() {}
HWND FindInstanceWindow(DWORD) { return nullptr; }
