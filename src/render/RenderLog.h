#pragma once

#include <QLoggingCategory>

// Traces of the rendering subsystem ("vexa.render").
Q_DECLARE_LOGGING_CATEGORY(lcRender)
