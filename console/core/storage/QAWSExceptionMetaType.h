#pragma once

#include <Brenn_AWS/QAWSException.h>

#include <QMetaType>

// Storage failures travel between the worker's thread and the GUI thread by value.
Q_DECLARE_METATYPE(QAWSException)
