#pragma once

/// \file
/// The export macro of the settings panel library.

#include <QtCore/qglobal.h>

/**
 * \def KIV_CONFIGURATION_EXPORT
 * Marks the library's exported classes: exports them while the library itself
 * is built (its build defines `KIV_CONFIGURATION_LIBRARY`), imports them
 * everywhere else. A host defines nothing.
 */
#if defined(KIV_CONFIGURATION_LIBRARY)
#define KIV_CONFIGURATION_EXPORT Q_DECL_EXPORT
#else
#define KIV_CONFIGURATION_EXPORT Q_DECL_IMPORT
#endif
