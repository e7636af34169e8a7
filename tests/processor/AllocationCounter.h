#pragma once

// Counts heap allocations made by the calling thread while a CountingScope is alive, also those
// inside a dynamically loaded plug-in (the test executables interpose on malloc).
namespace oxn3test
{
class CountingScope
{
public:
    CountingScope();
    ~CountingScope();
    long count() const;

private:
    long start;
};
} // namespace oxn3test
