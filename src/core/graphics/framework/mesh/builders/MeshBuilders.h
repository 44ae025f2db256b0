#pragma once
// Every mesh builder, for the code that picks one by mesh kind.
#include "core/graphics/framework/mesh/builders/ConeMeshBuilder.h"
#include "core/graphics/framework/mesh/builders/CustomMeshBuilder.h"
#include "core/graphics/framework/mesh/builders/CylinderMeshBuilder.h"
#include "core/graphics/framework/mesh/builders/HeightMapMeshBuilder.h"
#include "core/graphics/framework/mesh/builders/LineBuilder.h"
#include "core/graphics/framework/mesh/builders/MeshBuilder.h"
#include "core/graphics/framework/mesh/builders/PlaneMeshBuilder.h"
#include "core/graphics/framework/mesh/builders/SimpleCubeMeshBuilder.h"
#include "core/graphics/framework/mesh/builders/SimpleTriangleMeshBuilder.h"
#include "core/graphics/framework/mesh/builders/SphereMeshBuilder.h"
#include "core/graphics/framework/mesh/builders/TorusMeshBuilder.h"
