// The program-wide objects; all are defined in program_objects.cpp, in the
// order in which the program needs them built.
#pragma once
#include "app/setup_app.h"
#include "app/setup_state.h"
#include "instances/instance_manager.h"

extern COXInstanceManager theInstanceManager;
extern CSetupApp theApp;
