#pragma once

// How widgets that are not pages (the pattern rocker, the status line) report to their owner.
class ValueChangedListener
{
public:
    virtual ~ValueChangedListener() = default;
    virtual void valueBegin(int tag) {}
    virtual void valueEnd(int tag) {}
    virtual void valueChanged(int tag, float value) {}
};
