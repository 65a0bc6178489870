#pragma once

// Log levels of the panel's lines.
enum KivLogLevel {
    KIV_LOG_ERROR = 300,
    KIV_LOG_INFO = 600,
    KIV_LOG_NOTICE = 700,
};

// Writes one line through the panel's sigLog with the calling source line.
#define KIV_LOG(level, message) WriteLog((level), (message), __LINE__)
