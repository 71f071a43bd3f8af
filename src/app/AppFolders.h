#pragma once
// The program's folders belong to the platform layer; this name is kept for the application frame.
#include "platform/AppFolders.h"
