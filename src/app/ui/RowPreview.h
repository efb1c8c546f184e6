#pragma once

// The widget the message rows use as their preview.
#include "app/ui/PreviewPlaceholder.h"

namespace vexa {
using RowPreview = PreviewPlaceholder;
} // namespace vexa
