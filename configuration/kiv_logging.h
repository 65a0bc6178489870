#pragma once

#include <QLoggingCategory>

// The library's debug lines. They stay off in a host's console unless asked
// for, e.g. QT_LOGGING_RULES="kiv.*.debug=true".
Q_DECLARE_LOGGING_CATEGORY(kivPanel)   // "kiv.panel": the panel and its pages
Q_DECLARE_LOGGING_CATEGORY(kivLayout)  // "kiv.layout": row widgets fitting their texts
Q_DECLARE_LOGGING_CATEGORY(kivPlugins) // "kiv.plugins": plugin install and update
