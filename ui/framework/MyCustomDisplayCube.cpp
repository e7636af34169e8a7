#include "processor/PluginProcessor.h"
#include "ui/framework/CubeMaths.h"
#include "ui/framework/MyCustomDisplay.h"
#include "ui/window/PluginEditor.h"

namespace
{
// Host parameters the box follows.
enum CubeParameter
{
    kCutoff = 1,
    kResonance = 2,
    kEnvmod = 3,
    kDecay = 4,
    kAccent = 5,
    kWaveform = 8
};
} // namespace

// One frame: the shape eases, the box turns by the spin, and its edges are drawn in the
// current colour. Called once per paint, so the box stands still while its page is hidden.
void MyCustomDisplay::drawCube(float centreX, float centreY, juce::Graphics& g)
{
    if (editor == nullptr)
        return;
    JuceDemoPluginAudioProcessor& p = editor->processor;
    const oxn3::CubeSound sound{p.getParameter(kWaveform), p.getParameter(kCutoff), p.getParameter(kResonance),
                                p.getParameter(kEnvmod),   p.getParameter(kDecay),  p.getParameter(kAccent)};

    oxn3::easeCubeShape(cubeShape, sound);
    float target[oxn3::kCubeVertexCount][3];
    oxn3::cubeTargetVertices(cubeShape, oxn3::cubeIsTwisted(sound.waveform), target);
    oxn3::easeCubeVertices(cubeVertices, target);
    for (int axis = 0; axis < 3; ++axis)
        cubeAngle[axis] += cubeSpin[axis];

    float turned[oxn3::kCubeVertexCount][3];
    for (int v = 0; v < oxn3::kCubeVertexCount; ++v)
        oxn3::rotateCubeVertex(cubeVertices[v], cubeAngle, turned[v]);
    oxn3::centreCube(turned);

    float sx[oxn3::kCubeVertexCount], sy[oxn3::kCubeVertexCount];
    for (int v = 0; v < oxn3::kCubeVertexCount; ++v)
        oxn3::projectCubeVertex(turned[v], scale, centreX, centreY, sx[v], sy[v]);
    for (const auto& edge : oxn3::kCubeEdges)
        g.drawLine(sx[edge[0]], sy[edge[0]], sx[edge[1]], sy[edge[1]]);
}
