# Warnings for the project's own targets (never for JUCE's sources).
function(oxn3_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wno-unused-parameter)
  if(OXN3_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

# The same warnings for single source files: for targets that also compile JUCE's own
# sources, which must not get them. Call it from the directory that creates the target.
function(oxn3_source_warnings)
  set(flags -Wall -Wextra -Wno-unused-parameter)
  if(OXN3_WERROR)
    list(APPEND flags -Werror)
  endif()
  set_source_files_properties(${ARGN} PROPERTIES COMPILE_OPTIONS "${flags}")
endfunction()
