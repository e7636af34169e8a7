#pragma once

// Where the classic panel's picture puts its keys, buttons and lamp sockets, in panel units
// (622 x 133). They must match the panel's push areas and lamps exactly; a test holds them to it.
namespace switchboardlayout
{
enum class Look
{
    whiteKey,
    blackKey,
    functionKey,
    accentKey,
    smallKey
};

// How the caption sits: printed on the key, below it or above it.
enum class Place
{
    onKey,
    below,
    above
};

struct Key
{
    float x, y, w, h;
    Look look;
    const char* caption;
    Place place;
};

// The push areas of the classic panel in their table order.
constexpr Key kKeys[] = {
    {141, 82, 15, 30, Look::whiteKey, "C", Place::below},
    {158, 30, 15, 30, Look::blackKey, "C#", Place::below},
    {176, 82, 15, 30, Look::whiteKey, "D", Place::below},
    {193, 30, 15, 30, Look::blackKey, "D#", Place::below},
    {211, 82, 15, 30, Look::whiteKey, "E", Place::below},
    {246, 82, 15, 30, Look::whiteKey, "F", Place::below},
    {263, 30, 15, 30, Look::blackKey, "F#", Place::below},
    {281, 82, 15, 30, Look::whiteKey, "G", Place::below},
    {298, 30, 15, 30, Look::blackKey, "G#", Place::below},
    {316, 82, 15, 30, Look::whiteKey, "A", Place::below},
    {333, 30, 15, 30, Look::blackKey, "A#", Place::below},
    {351, 82, 15, 30, Look::whiteKey, "B", Place::below},
    {387, 82, 15, 30, Look::whiteKey, "C", Place::below},
    {423, 82, 15, 30, Look::functionKey, "DOWN", Place::below},
    {458, 82, 15, 30, Look::functionKey, "UP", Place::below},
    {493, 82, 15, 30, Look::functionKey, "ACCENT", Place::below},
    {529, 82, 15, 30, Look::functionKey, "SLIDE", Place::below},
    {501, 30, 30, 15, Look::functionKey, "GATE", Place::onKey},
    {575, 41, 30, 15, Look::functionKey, "BACK", Place::onKey},
    {568, 82, 45, 30, Look::functionKey, "NEXT", Place::onKey},
    {19, 14, 30, 15, Look::functionKey, "CLEAR", Place::onKey},
    {11, 82, 45, 30, Look::accentKey, "RUN/STOP", Place::onKey},
    {82, 14, 30, 15, Look::functionKey, "RANDOM", Place::onKey},
    {72, 71, 15, 15, Look::smallKey, "-", Place::onKey},
    {107, 71, 15, 15, Look::smallKey, "+", Place::onKey},
    {82, 41, 30, 15, Look::functionKey, "ALTER", Place::onKey},
    {423, 15, 15, 30, Look::functionKey, "COPY", Place::below},
    {457, 15, 15, 30, Look::functionKey, "PASTE", Place::below},
    {14, 47, 14, 13, Look::smallKey, "<", Place::onKey},
    {39, 47, 14, 13, Look::smallKey, ">", Place::onKey},
    {92, 100, 30, 15, Look::functionKey, "AUTO", Place::onKey},
    {27, 42, 13, 12, Look::smallKey, "^", Place::onKey},
    {27, 53, 13, 12, Look::smallKey, "v", Place::onKey},
    {575, 14, 30, 15, Look::functionKey, "STEP REC", Place::above},
};

// Lamp centres in lamp number order; the panel draws each lamp 2.5 units left of its entry.
constexpr float kLamps[21][2] = {
    {151, 74}, {168, 22}, {186, 74}, {203, 22}, {221, 74}, {256, 74}, {273, 22}, {291, 74}, {308, 22}, {326, 74},
    {343, 22}, {361, 74}, {397, 74}, {433, 74}, {468, 74}, {503, 74}, {539, 74}, {519, 22}, {36, 74}, {84, 107},
    {592, 21},
};
// The recessed windows of the pattern-length and step read-outs: x, y, width, height.
constexpr float kLengthReadout[4] = {86.5f, 72.0f, 20.0f, 14.0f};
constexpr float kStepReadout[4] = {575.5f, 59.0f, 29.0f, 16.0f};
} // namespace switchboardlayout
