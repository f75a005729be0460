#include "cli/HeadlessWindow.h"
