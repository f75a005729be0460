#include "window/Prompts.h"
