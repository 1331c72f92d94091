#include "debuglines.h"

Q_LOGGING_CATEGORY(DebugLines, "qms.debug")
