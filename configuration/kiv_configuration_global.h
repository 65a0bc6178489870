#pragma once

#include <QtCore/qglobal.h>

#if defined(KIV_CONFIGURATION_LIBRARY)
#define KIV_CONFIGURATION_EXPORT Q_DECL_EXPORT
#else
#define KIV_CONFIGURATION_EXPORT Q_DECL_IMPORT
#endif
