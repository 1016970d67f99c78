#pragma once

// The regex engine reaches the failure type by this older path until it includes run/failure.h.
#include "run/failure.h"
