#pragma once

#include <QtCore/qglobal.h>

// Everything is hidden unless marked: only the facades, their structures and the exception are
// the library's interface.
#if defined(BRENN_AWS_LIBRARY)
#define BRENN_AWS_EXPORT Q_DECL_EXPORT
#else
#define BRENN_AWS_EXPORT Q_DECL_IMPORT
#endif
