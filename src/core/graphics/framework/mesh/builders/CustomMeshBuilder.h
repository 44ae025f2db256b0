#pragma once
// The builder of meshes imported from model files.
#include <cstdint>
#include <string_view>

#include "core/graphics/framework/mesh/builders/MeshBuilder.h"
#include "core/graphics/framework/mesh/import/AssimpModelImporter.h"
#include "core/util/memory/MemoryAllocator.h"

namespace ztengine {

// Turns the first mesh of a model file into creator calls, with its skin weights, skeleton and
// animations. The renderer uses one shared instance and points it at a file before each build;
// its importer keeps every model it has read for the rest of the run.
class CustomMeshBuilder final : public MeshBuilder {
public:
    // At most this many bones drive one vertex.
    static constexpr uint32_t kMaxInfluences = 4;

    // The shared instance, made on first use.
    static CustomMeshBuilder& Instance();

    CustomMeshBuilder() = default;

    // The folder and the file name inside it; a folder given without its trailing slash
    // ("models") is joined with one.
    void SetFile(std::string_view filePath, std::string_view fileName);
    // Imports the file. False when it could not be read; the mesh then stays empty.
    bool Build(MeshCreator& creator) override;
    // The vertex count of the previous import (0 before the first).
    uint32_t EstimateVertexCount() const override { return m_estimate; }

    const AssimpModelImporter& GetImporter() const { return m_importer; }
    ImportResult GetLastResult() const { return m_lastResult; }

private:
    CountedString m_filePath;
    CountedString m_fileName;
    AssimpModelImporter m_importer;
    uint32_t m_estimate = 0;
    ImportResult m_lastResult;
};

}  // namespace ztengine
