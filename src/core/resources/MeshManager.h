#pragma once
// "MeshManager": the mesh list of "mesh.init" (procedural shapes and imported model files).
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "core/serialization/Serializer.h"

namespace ztengine {

enum MeshType : int32_t {
    MeshTypeSharedCube = 1,
    MeshTypeCube = 2,
    MeshTypeSphere = 3,
    MeshTypeCylinder = 4,
    MeshTypeTorus = 5,
    MeshTypePlane = 6,
    MeshTypeCone = 7,
    MeshTypeCustom = 8,
};

struct MeshBuildInfo {
    std::string m_name;
    int32_t m_type = 0;
    int32_t m_stacks = 0;
    int32_t m_slices = 0;
    float m_startAngle = 0.0f;
    float m_endAngle = 0.0f;
    float m_minorFactor = 0.0f;
    std::string m_filePath;
    std::string m_fileName;
};

class MeshManager : public Serializer {
public:
    // The list is not read or written yet: its file stays as it is.
    void Save() override {}
    void Load() override {}

    std::string m_fileName = "mesh.init";
    std::map<std::string, int32_t> m_meshHandles;
    std::vector<MeshBuildInfo> m_meshes;
    int32_t m_defaultCubeMesh = -1;
};

}  // namespace ztengine
