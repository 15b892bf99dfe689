#pragma once

#include <QLoggingCategory>

// Category names are padded to six characters so log lines align.
Q_DECLARE_LOGGING_CATEGORY(lcLogin)
Q_DECLARE_LOGGING_CATEGORY(lcNcl)
Q_DECLARE_LOGGING_CATEGORY(lcSrv)
