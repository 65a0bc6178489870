#pragma once

/// \file
/// The export macro of the host's libraries declared in host_interfaces/.

#include <QtCore/qglobal.h>

/**
 * \def KIV_HOST_EXPORT
 * Marks the classes of the host's libraries (kiv_types, kiv_messagebox_dialog,
 * kiv_http, kiv_httpparam): exported while such a library is built (its build
 * defines `KIV_HOST_LIBRARY`), imported everywhere else, the panel included.
 */
#if defined(KIV_HOST_LIBRARY)
#define KIV_HOST_EXPORT Q_DECL_EXPORT
#else
#define KIV_HOST_EXPORT Q_DECL_IMPORT
#endif
