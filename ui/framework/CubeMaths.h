#pragma once

#include <algorithm>
#include <cmath>

// The wire-frame box of the preferences page: a front face shaped by Cutoff, Resonance, Envmod
// and Decay, a back face by Accent, turned half a turn for the saw-like waveform settings, eased
// towards its shape by halves each frame, rotated and seen through a simple pinhole.
namespace oxn3
{
constexpr int kCubeVertexCount = 8;
constexpr int kCubeEdgeCount = 12;
constexpr int kCubeShapeCount = 5;
constexpr float kCubeHalfSize = 10.0f;
constexpr float kCubeEnvmodShare = 0.65f;
constexpr float kCubeEase = 0.5f;
constexpr float kCubeFocal = 400.0f;
constexpr float kCubeEyeDistance = 50.0f;
constexpr float kCubeCentroidWeight = 0.125f;

// Vertices 0-3 are the front face, 4-7 the back face.
constexpr int kCubeEdges[kCubeEdgeCount][2] = {{0, 1}, {1, 2}, {2, 3}, {3, 0}, {4, 5}, {5, 6},
                                               {6, 7}, {7, 4}, {0, 4}, {1, 5}, {2, 6}, {3, 7}};

// Sound parameters the box follows, each 0..1.
struct CubeSound
{
    float waveform, cutoff, resonance, envmod, decay, accent;
};

inline bool cubeIsTwisted(float waveform)
{
    return !(waveform > 0.5f);
}

// Shape values A..E half way towards Cutoff, Resonance, Envmod x 0.65, Decay and Accent.
inline void easeCubeShape(float shape[kCubeShapeCount], const CubeSound& sound)
{
    const float targets[kCubeShapeCount] = {sound.cutoff, sound.resonance, sound.envmod * kCubeEnvmodShare,
                                            sound.decay, sound.accent};
    for (int i = 0; i < kCubeShapeCount; ++i)
        shape[i] += (std::clamp(targets[i], 0.0f, 1.0f) - shape[i]) * kCubeEase;
}

inline void cubeTargetVertices(const float shape[kCubeShapeCount], bool twisted, float out[kCubeVertexCount][3])
{
    constexpr float cornerX[4] = {-1, -1, 1, 1};
    constexpr float cornerY[4] = {-1, 1, 1, -1};
    const float a = shape[0], b = shape[1], c = shape[2], d = shape[3], e = shape[4];
    const float front = twisted ? -1.0f : 1.0f;
    for (int k = 0; k < 4; ++k)
    {
        out[k][0] = front * cornerX[k] * kCubeHalfSize * a * d;
        out[k][1] = front * cornerY[k] * kCubeHalfSize * b * d;
        out[k][2] = -kCubeHalfSize * c;
        out[k + 4][0] = cornerX[k] * kCubeHalfSize * a;
        out[k + 4][1] = cornerY[k] * kCubeHalfSize * b * e;
        out[k + 4][2] = kCubeHalfSize * c * e;
    }
}

inline void easeCubeVertices(float vertices[kCubeVertexCount][3], const float target[kCubeVertexCount][3])
{
    for (int v = 0; v < kCubeVertexCount; ++v)
        for (int axis = 0; axis < 3; ++axis)
            vertices[v][axis] += (target[v][axis] - vertices[v][axis]) * kCubeEase;
}

// About y, then x, then z; double precision with each intermediate kept as a float.
inline void rotateCubeVertex(const float in[3], const float angle[3], float out[3])
{
    const double x = in[0], y = in[1], z = in[2];
    const double ax = angle[0], ay = angle[1], az = angle[2];
    const float x1 = static_cast<float>(x * std::cos(ay) - z * std::sin(ay));
    const float z1 = static_cast<float>(x * std::sin(ay) + z * std::cos(ay));
    const float y1 = static_cast<float>(y * std::cos(ax) - z1 * std::sin(ax));
    const float z2 = static_cast<float>(z1 * std::cos(ax) + y * std::sin(ax));
    out[0] = static_cast<float>(x1 * std::cos(az) - y1 * std::sin(az));
    out[1] = static_cast<float>(x1 * std::sin(az) + y1 * std::cos(az));
    out[2] = z2;
}

inline void centreCube(float vertices[kCubeVertexCount][3])
{
    float centroid[3] = {};
    for (int v = 0; v < kCubeVertexCount; ++v)
        for (int axis = 0; axis < 3; ++axis)
            centroid[axis] += vertices[v][axis];
    for (int v = 0; v < kCubeVertexCount; ++v)
        for (int axis = 0; axis < 3; ++axis)
            vertices[v][axis] -= centroid[axis] * kCubeCentroidWeight;
}

inline void projectCubeVertex(const float v[3], float scale, float cx, float cy, float& sx, float& sy)
{
    const float depth = kCubeFocal * scale / (v[2] + kCubeEyeDistance);
    sx = v[0] * depth + cx;
    sy = v[1] * depth + cy;
}
} // namespace oxn3
