#pragma once
// "MeshManager": the mesh list of "mesh.init" (procedural shapes and imported model files) and
// the renderer meshes the loading jobs build from it, found by name.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "core/resources/ResourceJson.h"
#include "core/serialization/Serializer.h"

namespace ztengine {

class App;
class Graphics3D;

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

// Fields a kind does not use keep their values and are saved all the same.
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
    // Writes the whole list as one compact JSON array, replacing the file. A file that held
    // something unreadable at start-up is left alone: the list in memory lacks its meshes.
    void Save() override;
    // Appends the file's meshes; an element is taken only when all nine members have exactly
    // their types (see the loader). Names are mapped when the meshes are built.
    void Load() override;

    // Builds the default cube now, then queues one job per record of a kind 1 to 8. A job maps
    // its name only when the name is not mapped yet, so the first of two equal names wins.
    void QueueBuildJobs(Graphics3D& renderer, App& application);

    // Each builds its mesh now, records it (a new name appends a record; a known name updates
    // the first record of that name) and maps the name to the new mesh, which is returned.
    // AddCubeMesh records kind 1 but builds a cube of its own.
    int32_t AddCubeMesh(Graphics3D& renderer, std::string name);
    int32_t AddSphereMesh(Graphics3D& renderer, std::string name, int32_t stacks, int32_t slices);
    int32_t AddCylinderMesh(Graphics3D& renderer, std::string name, int32_t stacks,
                            int32_t slices);
    int32_t AddTorusMesh(Graphics3D& renderer, std::string name, int32_t stacks, int32_t slices,
                         float startAngle, float endAngle, float minorFactor);
    int32_t AddPlaneMesh(Graphics3D& renderer, std::string name, int32_t stacks, int32_t slices);
    int32_t AddConeMesh(Graphics3D& renderer, std::string name, int32_t stacks, int32_t slices);
    int32_t AddCustomMesh(Graphics3D& renderer, std::string name, const char* filePath,
                          const char* fileName);

    // The mesh mapped to the name, or the default cube (-1 before QueueBuildJobs).
    int32_t GetMesh(const char* name) const;
    // Erases the first record of that name and its mapping; the renderer keeps the mesh.
    void RemoveMesh(const std::string& name);

    bool KeepsUnreadableFile() const { return m_keepUnreadableFile; }

    // Stacks and slices above this are not built as given: a mistyped count must not take the
    // whole memory (the record keeps the typed value).
    static constexpr int32_t kMaxSegments = 1024;

    std::string m_fileName = "mesh.init";
    std::map<std::string, int32_t> m_meshHandles;
    std::vector<MeshBuildInfo> m_meshes;
    int32_t m_defaultCubeMesh = -1;

private:
    // The mesh of a record's kind; -1 for a kind that builds nothing.
    int32_t BuildMesh(Graphics3D& renderer, const MeshBuildInfo& info) const;
    // The record of a new name, or the first record of a known one (null when none carries it).
    MeshBuildInfo* RecordFor(const std::string& name, int32_t type);
    int32_t AddSegmentedMesh(Graphics3D& renderer, std::string name, int32_t type,
                             int32_t stacks, int32_t slices);

    // Records that could not be used, written back as they stand.
    KeptRecords m_keptRecords;
    bool m_keepUnreadableFile = false;
};

}  // namespace ztengine
