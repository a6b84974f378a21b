// Reads arbitrary bytes as a shape in any form and builds its mesh: a damaged
// shape must be refused with FormatError, never crash or hang, and a mesh that
// is built must hold only indices of its own vertices, in whole triangles, in
// batches that cover the index list in drawing order.

#include <cstddef>
#include <cstdint>
#include <new>
#include <string_view>

#include "FuzzSupport.h"
#include "view3d/MeshBuilder.h"
#include "view3d/ShapeFile.h"
#include "view3d/SimisData.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vantor::view3d;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    ShapeMesh mesh;
    try {
        mesh = BuildMesh(ReadShape(bytes));
    } catch (const FormatError&) {
        return 0;
    } catch (const std::bad_alloc&) {
        return 0;  // the stated lengths are bounded; a list may still outgrow memory
    }
    std::uint32_t next = 0;
    int lastBlend = -1;
    for (const MeshBatch& batch : mesh.batches) {
        if (batch.firstIndex != next || batch.indexCount % 3 != 0) {
            fuzz_support::Fail("batches do not cover the indices in whole triangles");
        }
        if (static_cast<int>(batch.blend) < lastBlend) {
            fuzz_support::Fail("batches are out of drawing order");
        }
        lastBlend = static_cast<int>(batch.blend);
        next += batch.indexCount;
    }
    if (next != mesh.indices.size()) {
        fuzz_support::Fail("indices lie outside every batch");
    }
    for (const std::uint32_t index : mesh.indices) {
        if (index >= mesh.vertices.size()) {
            fuzz_support::Fail("an index past the vertices");
        }
    }
    return 0;
}
