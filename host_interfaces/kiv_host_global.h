#pragma once

#include <QtCore/qglobal.h>

// The host's libraries export their classes; everything else stays hidden.
#if defined(KIV_HOST_LIBRARY)
#define KIV_HOST_EXPORT Q_DECL_EXPORT
#else
#define KIV_HOST_EXPORT Q_DECL_IMPORT
#endif
