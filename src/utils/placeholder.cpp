#include "utils/unique_handle.h"
