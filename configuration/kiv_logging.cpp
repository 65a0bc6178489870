#include "kiv_logging.h"

// Information and above pass by default; debug lines only when enabled.
Q_LOGGING_CATEGORY(kivPanel, "kiv.panel", QtInfoMsg)
Q_LOGGING_CATEGORY(kivLayout, "kiv.layout", QtInfoMsg)
Q_LOGGING_CATEGORY(kivPlugins, "kiv.plugins", QtInfoMsg)
