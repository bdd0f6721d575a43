#include "app/main_dialog_operations.h"

MainDialogOperations* g_mainDialog = nullptr;
