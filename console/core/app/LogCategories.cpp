#include "LogCategories.h"

Q_LOGGING_CATEGORY(lcLogin, "Login ")
Q_LOGGING_CATEGORY(lcNcl, "NCL   ")
Q_LOGGING_CATEGORY(lcSrv, "SRV   ")
