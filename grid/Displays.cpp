#include "Displays.h"
