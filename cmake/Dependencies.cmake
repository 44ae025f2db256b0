# Every library the engine and the game use, all from the system's packages.
find_package(PkgConfig REQUIRED)
find_package(OpenGL REQUIRED)
find_package(Threads REQUIRED)

pkg_check_modules(GLFW3 REQUIRED IMPORTED_TARGET glfw3)
pkg_check_modules(GLEW REQUIRED IMPORTED_TARGET glew)
pkg_check_modules(BULLET REQUIRED IMPORTED_TARGET bullet)
pkg_check_modules(FREETYPE REQUIRED IMPORTED_TARGET freetype2)
pkg_check_modules(ASSIMP REQUIRED IMPORTED_TARGET assimp)
pkg_check_modules(OPENAL REQUIRED IMPORTED_TARGET openal)
pkg_check_modules(SNDFILE REQUIRED IMPORTED_TARGET sndfile)

# Dear ImGui ships as a static archive with its back ends; its pkg-config file asks for stb.
find_path(IMGUI_INCLUDE_DIR imgui.h PATH_SUFFIXES imgui REQUIRED)
find_library(IMGUI_LIBRARY NAMES libimgui.a imgui REQUIRED)
# Debian builds the archive against the system's stb (font packing and rasterising).
pkg_check_modules(STB REQUIRED IMPORTED_TARGET stb)
add_library(zt_imgui INTERFACE)
target_include_directories(zt_imgui INTERFACE ${IMGUI_INCLUDE_DIR} ${IMGUI_INCLUDE_DIR}/backends)
target_link_libraries(zt_imgui INTERFACE ${IMGUI_LIBRARY} PkgConfig::STB ${CMAKE_DL_LIBS})

find_path(RAPIDJSON_INCLUDE_DIR rapidjson/document.h REQUIRED)
add_library(zt_rapidjson INTERFACE)
target_include_directories(zt_rapidjson INTERFACE ${RAPIDJSON_INCLUDE_DIR})

find_path(FREEIMAGE_INCLUDE_DIR FreeImage.h REQUIRED)
find_library(FREEIMAGE_LIBRARY NAMES freeimage REQUIRED)
add_library(zt_freeimage INTERFACE)
target_include_directories(zt_freeimage INTERFACE ${FREEIMAGE_INCLUDE_DIR})
target_link_libraries(zt_freeimage INTERFACE ${FREEIMAGE_LIBRARY})

if(ZT_BUILD_TESTS)
  find_package(GTest REQUIRED)
  include(GoogleTest)
endif()
