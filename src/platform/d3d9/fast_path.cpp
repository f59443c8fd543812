#include "platform/d3d9/raster_internal.h"

namespace vm_d3d9 {

bool DrawTriangleFast(const RasterState&, const TriangleSetup&) { return false; }

}  // namespace vm_d3d9
