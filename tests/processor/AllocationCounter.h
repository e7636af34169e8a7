#pragma once

// Counts heap allocations made by the calling thread while a CountingScope is alive.
// The test executables replace operator new and interpose malloc/calloc/realloc, so allocations
// inside a dynamically loaded plug-in are seen as well.
namespace oxn3test
{
long allocationsOnThisThread();

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
