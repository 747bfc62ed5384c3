#include "engine/PimVertexAttributes.h"

#include "engine/PimAssert.h"
#include "engine/PimShader.h"

#include <GL/glew.h>

PimVertexAttributeScope::PimVertexAttributeScope(const PimShader& shader,
                                                 std::span<const PimVertexAttribute> attributes, std::size_t stride)
{
    PimAssert::Assert(attributes.size() <= kMostAttributes,
                      "PimVertexAttributeScope::PimVertexAttributeScope() - Too many vertex attributes");
    count = attributes.size() < kMostAttributes ? attributes.size() : kMostAttributes;
    for (std::size_t i = 0; i < count; ++i)
    {
        const PimVertexAttribute& attribute = attributes[i];
        locations[i] = shader.GetAttributeLocation(attribute.name);
        if (locations[i] < 0)
            continue;
        const auto location = static_cast<GLuint>(locations[i]);
        glEnableVertexAttribArray(location);
        glVertexAttribPointer(location, attribute.components, static_cast<GLenum>(attribute.type),
                              attribute.normalised ? GL_TRUE : GL_FALSE, static_cast<GLsizei>(stride),
                              reinterpret_cast<const void*>(attribute.offset));
    }
}

PimVertexAttributeScope::~PimVertexAttributeScope()
{
    for (std::size_t i = 0; i < count; ++i)
        if (locations[i] >= 0)
            glDisableVertexAttribArray(static_cast<GLuint>(locations[i]));
}
