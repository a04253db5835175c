#pragma once
// The engine behind the automation interface of Automation.h: what the program needs to
// start engine applications. Everything else is reached through word::Application.

#include "Automation.h"
#include "EngineApplicationFactory.h"
