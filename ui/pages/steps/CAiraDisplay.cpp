#include "ui/pages/steps/CAiraDisplay.h"

#include "engine/Synth303.h"
#include "processor/PluginProcessor.h"
#include "ui/window/PluginEditor.h"

using namespace oxn3::aira;

CAiraDisplay::CAiraDisplay(juce::Image* image_, JuceDemoPluginAudioProcessorEditor* editor_)
    : MyCustomDisplay(image_, editor_)
{
    setRepaintsOnMouseActivity(false);
    scale = 1.0f;
}

CAiraDisplay::~CAiraDisplay() = default;

void CAiraDisplay::setSynth(Synth303* s) { synth = s; }
void CAiraDisplay::setScale(float s) { scale = s; }

Layout CAiraDisplay::layout() const
{
    return {originX, originY, cellBoxWidth, cellBoxHeight, columnWidth, rowHeight};
}

juce::Point<int> CAiraDisplay::toDesign(juce::Point<int> pos) const
{
    return {static_cast<int>(pos.x / scale), static_cast<int>(pos.y / scale)};
}

Vst303Pattern* CAiraDisplay::pattern() const
{
    return synth != nullptr ? &synth->activePattern() : nullptr;
}

juce::Rectangle<float> CAiraDisplay::thumbRect() const
{
    const Box t = thumbBox(layout(), pageOffset);
    return {t.x * scale, t.y * scale, t.w * scale, t.h * scale};
}

void CAiraDisplay::mouseMove(const juce::MouseEvent& e) { pointerMoved(e.getPosition()); }
void CAiraDisplay::mouseExit(const juce::MouseEvent&) { pointerLeft(); }
void CAiraDisplay::mouseDown(const juce::MouseEvent& e) { pointerPressed(e.getPosition(), e.mods); }
void CAiraDisplay::mouseDrag(const juce::MouseEvent& e) { pointerDragged(e.getPosition(), e.mods); }

void CAiraDisplay::pointerMoved(juce::Point<int> pos)
{
    const auto d = toDesign(pos);
    const Layout l = layout();
    const int oldColumn = cellColumn, oldRow = cellRow;
    hoverZone = kZoneNone;
    cellColumn = cellRow = -1;
    if (inTableArea(l, d.x, d.y))
    {
        cellColumn = columnAt(l, d.x);
        cellRow = rowAt(l, d.y);
        if (isCell(cellColumn, cellRow))
        {
            hoverGlowTarget = 1;
            if (cellColumn != oldColumn || cellRow != oldRow)
                repaint();
        }
        return;
    }
    hoverGlow = 0;
    hoverGlowTarget = 0;
    hoverZone = zoneAt(l, pageOffset, scale, d.x, d.y);
    if (hoverZone != kZoneNone)
        hoverGlowTarget = 1;
}

void CAiraDisplay::pointerLeft()
{
    hoverGlowTarget = 0;
    cellColumn = cellRow = -1;
    dragStartPitch = -1;
}

void CAiraDisplay::pointerPressed(juce::Point<int> pos, juce::ModifierKeys mods)
{
    const auto d = toDesign(pos);
    const Layout l = layout();
    cellColumn = cellRow = -1;
    if (d.x >= l.originX && d.y < kBarTop)
    {
        cellColumn = columnAt(l, d.x);
        cellRow = rowAt(l, d.y);
    }
    dragMode = kDragNone;
    // The zone is taken where the press lands, so a press without a preceding move (touch, pen)
    // hits what a move there would have hovered.
    hoverZone = inTableArea(l, d.x, d.y) ? kZoneNone : zoneAt(l, pageOffset, scale, d.x, d.y);
    Vst303Pattern* p = pattern();
    if (p == nullptr)
        return;
    dragStartPattern = synth->currentPattern;
    if (inTableArea(l, d.x, d.y) && isCell(cellColumn, cellRow))
        pressCell(*p, d.x, d.y, mods);
    if (hoverZone == kZoneThumb)
    {
        dragStartX = d.x;
        dragStartOffset = pageOffset;
        return;
    }
    pressZone(*p, d.x, d.y);
}

void CAiraDisplay::pressCell(Vst303Pattern& p, int px, int py, juce::ModifierKeys mods)
{
    const int s = pageOffset + cellColumn;
    step_t& step = p.steps[s];
    if (cellRow == 1)
    {
        dragStartPitch = step.pitch;
        dragStartY = py;
        dragMode = kDragPitch;
        for (int i = 0; i < Vst303Pattern::kMaxSteps; ++i)
            pitchSnapshot[i] = p.steps[i].pitch;
        if (mods.isCtrlDown())
        {
            p.insertStep(s);
            repaint();
        }
    }
    if (pitchBarView != 0)
    {
        dragStartPitch = step.pitch;
        const float t = pitchBarPosition(scale, py);
        if (t >= 0.0f && t <= 1.0f)
        {
            step.pitch = static_cast<std::int8_t>(pitchBarPitch(t));
            dragMode = kDragPitchBar;
            repaint();
        }
        return;
    }
    if (cellRow >= 2)
    {
        const std::uint8_t flag = kRowFlag[cellRow];
        dragValue = step.has(flag) ? 1 : 0;
        step.set(flag, dragValue == 0);
        dragMode = kDragFlagFirst + cellRow - 2;
        repaint();
    }
}

void CAiraDisplay::pressZone(Vst303Pattern& p, int px, int py)
{
    switch (hoverZone)
    {
    case kZonePitchLabel: pitchBarView = pitchBarView != 0 ? 0 : 1; break;
    case kZoneRunStop: synth->setRunStop(synth->running == 0 ? 1 : 0); break;
    case kZoneClear:
        if (editor != nullptr)
            editor->storeUndo(*synth, "Clear Pattern");
        p.Clear();
        hoverGlow = 0;
        repaint();
        break;
    case kZoneLength:
        dragValue = p.getLength();
        dragStartY = py;
        break;
    case kZoneBar:
        pageOffset = pageStep(layout(), pageOffset, scale, px);
        repaint();
        break;
    default: break;
    }
}

void CAiraDisplay::pointerDragged(juce::Point<int> pos, juce::ModifierKeys mods)
{
    Vst303Pattern* p = pattern();
    if (p == nullptr)
        return;
    if (synth->currentPattern != dragStartPattern)
    {
        endDrag();
        return;
    }
    const auto d = toDesign(pos);
    const Layout l = layout();
    if (cellColumn >= 0 && cellColumn < kColumns && cellRow == 1)
    {
        if (mods.isShiftDown())
        {
            const int delta = pitchDelta(dragStartY, d.y);
            for (int i = 0; i < p->getStepCount(); ++i)
                p->steps[i].pitch = static_cast<std::int8_t>(transposedPitch(pitchSnapshot[i], delta));
        }
        else
        {
            PitchDrag drag{dragStartPitch, dragStartY};
            const int pitch = drag.moveTo(d.y);
            dragStartPitch = drag.startPitch;
            dragStartY = drag.startY;
            p->steps[pageOffset + cellColumn].pitch = static_cast<std::int8_t>(pitch);
        }
        repaint();
    }
    dragFlags(*p, d.x, d.y, mods);
    if (pitchBarView != 0 && dragMode == kDragPitchBar && cellColumn >= 0 && cellColumn < kColumns)
    {
        p->steps[pageOffset + cellColumn].pitch =
            static_cast<std::int8_t>(pitchBarPitch(pitchBarPosition(scale, d.y)));
        const int column = columnAt(l, d.x);
        if (mods.isShiftDown() && column >= 0 && column < kColumns)
            cellColumn = column;
        repaint();
    }
    if (hoverZone == kZoneLength)
    {
        p->setLength(lengthDrag(dragValue, dragStartY, d.y));
        repaint();
    }
    else if (hoverZone == kZoneThumb)
    {
        pageOffset = thumbDragOffset(l, dragStartX, dragStartOffset, d.x);
        repaint();
    }
}

// Shift paints the value the press produced; Command paints off, Command+Shift paints on.
void CAiraDisplay::dragFlags(Vst303Pattern& p, int px, int py, juce::ModifierKeys mods)
{
    const bool flagDrag = dragMode >= kDragFlagFirst && dragMode < kDragPitchBar;
    if (pitchBarView != 0 || !flagDrag || !(mods.isShiftDown() || mods.isCommandDown()))
        return;
    if (mods.isCommandDown())
        dragValue = mods.isShiftDown() ? 0 : 1;
    const Layout l = layout();
    const int column = columnAt(l, px), row = rowAt(l, py);
    if (column < 0 || column >= kColumns || row < 2 || row >= kRows)
        return;
    p.steps[pageOffset + column].set(kRowFlag[row], dragValue == 0);
    cellColumn = column;
    cellRow = row;
    repaint();
}

// The values taken at the press (pitches, flag, length) belong to the pattern pressed on: no
// later event of this drag writes them into the pattern that is current now.
void CAiraDisplay::endDrag()
{
    dragMode = kDragNone;
    hoverZone = kZoneNone;
    cellColumn = cellRow = -1;
}

void CAiraDisplay::update()
{
    const float s = scale;
    runStopRect = {3 * s, 2 * s, 40 * s, 40 * s};
    clearRect = {3 * s, 47 * s, 40 * s, 40 * s};
    lengthRect = {3 * s, 92 * s, 40 * s, 40 * s};
    previousPlayMarkerRect = playMarkerRect;
    const int playStep = synth != nullptr ? synth->playStep : 0;
    playMarkerRect = {((playStep - pageOffset) * columnWidth + originX + 5) * s - 10, (originY + 4) * s,
                      cellBoxWidth * s, cellBoxHeight * s};
}

void CAiraDisplay::onIdle(bool shown)
{
    if (!shown)
        return;
    update();
    hoverGlow += (hoverGlowTarget - hoverGlow) * 0.5f;
    if (editor != nullptr && editor->processor.guiRefresh != 0)
        repaint();
    if (pitchBarView != 0)
    {
        pitchBarFade += 0.1;
        if (pitchBarFade >= 1.0)
            pitchBarFade = 1.0;
        else
            repaint();
    }
    else
    {
        pitchBarFade -= 0.1;
        if (pitchBarFade <= 0.0)
            pitchBarFade = 0.0;
        else
            repaint();
    }
    for (const auto& r : {runStopRect, clearRect, lengthRect, playMarkerRect, previousPlayMarkerRect, thumbRect()})
        repaint(r.getSmallestIntegerContainer());
}
