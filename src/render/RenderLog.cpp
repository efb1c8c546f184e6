#include "render/RenderLog.h"

Q_LOGGING_CATEGORY(lcRender, "vexa.render")
