# Test programs and build tools that no benchmark measures compile at -O1 in a Release build: it
# takes a fraction of -O3's time and changes no result. The engine, the plug-in and the benchmarks
# keep the build type's own flags.
function(oxn3_light_optimisation target)
  target_compile_options(${target} PRIVATE $<$<CONFIG:Release>:-O1>)
endfunction()
