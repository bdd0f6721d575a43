#include "utils/run_reporter.h"

RunReporter* g_mainDialog = nullptr;
