// Setting a uniform by name costs no heap allocation: the frame sets dozens per draw, and names
// such as "enableParallaxMap" are longer than a std::string keeps without the heap. Every
// allocation of this test program is counted (it has its own global operator new), so the
// count over a burst of setter calls is exact. No GL is needed: the lookup happens before any
// GL call, and an unbuilt program answers -1 for every name.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <new>
#include <string>

#include "core/graphics/main/Shader.h"

namespace {

thread_local long g_allocations = 0;

void* Allocate(std::size_t size)
{
    ++g_allocations;
    return std::malloc(size == 0 ? 1 : size);
}

void* AllocateAligned(std::size_t size, std::align_val_t alignment)
{
    ++g_allocations;
    void* memory = nullptr;
    const std::size_t align = std::max(static_cast<std::size_t>(alignment), sizeof(void*));
    return posix_memalign(&memory, align, size == 0 ? 1 : size) == 0 ? memory : nullptr;
}

// Kept out of line: the compiler would otherwise see free() meet a pointer from operator new.
[[gnu::noinline]] void Release(void* memory) noexcept
{
    std::free(memory);
}

}  // namespace

void* operator new(std::size_t size)
{
    if (void* memory = Allocate(size))
        return memory;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size)
{
    return operator new(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    return Allocate(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
    return Allocate(size);
}
void* operator new(std::size_t size, std::align_val_t alignment)
{
    if (void* memory = AllocateAligned(size, alignment))
        return memory;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size, std::align_val_t alignment)
{
    return operator new(size, alignment);
}
void operator delete(void* memory) noexcept { Release(memory); }
void operator delete[](void* memory) noexcept { Release(memory); }
void operator delete(void* memory, std::size_t) noexcept { Release(memory); }
void operator delete[](void* memory, std::size_t) noexcept { Release(memory); }
void operator delete(void* memory, const std::nothrow_t&) noexcept { Release(memory); }
void operator delete[](void* memory, const std::nothrow_t&) noexcept { Release(memory); }
void operator delete(void* memory, std::align_val_t) noexcept { Release(memory); }
void operator delete[](void* memory, std::align_val_t) noexcept { Release(memory); }
void operator delete(void* memory, std::size_t, std::align_val_t) noexcept { Release(memory); }
void operator delete[](void* memory, std::size_t, std::align_val_t) noexcept { Release(memory); }

namespace {

TEST(ShaderUniforms, SettingByNameAllocatesNothing)
{
    ztgraphics::Shader shader;
    for (const char* name : {"enableDirectionalLight", "enableParallaxMap", "textureMultiplier", "tint"})
        shader.AddUniform(name);
    const float matrix[16] = {};
    // The counter itself works: a long name copied into a std::string allocates.
    const long before = g_allocations;
    const std::string copied("enableDirectionalLight");
    ASSERT_GT(g_allocations, before);

    const long start = g_allocations;
    for (int draw = 0; draw < 100; ++draw) {
        shader.SetInt("enableDirectionalLight", 1);
        shader.SetInt("enableParallaxMap", 0);
        shader.SetVec2("textureMultiplier", 1.0f, 1.0f);
        shader.SetVec4("tint", 1.0f, 1.0f, 1.0f, 0.0f);
        shader.SetFloat("effectsMaskOfAVeryLongName", 1.0f);
        shader.SetVec3("lightIntensityOfTheSun", 1.0f, 1.0f, 1.0f);
        shader.SetMatrix4("inverseViewMatrixLongName", matrix);
        EXPECT_EQ(shader.GetUniformLocation("enableDirectionalLight"), -1);
        // A std::string the caller already holds is looked up as it is.
        EXPECT_EQ(shader.GetUniformLocation(copied), -1);
    }
    EXPECT_EQ(g_allocations - start, 0);
}

}  // namespace
