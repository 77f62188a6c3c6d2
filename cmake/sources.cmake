# Source discovery. Every subsystem folder under src/ holds portable sources
# (*.cpp) and Windows adapters (*_win32.cpp); tests mirror src/ under tests/.
# Globbing keeps the build files out of the way when a subsystem grows a file.

# Portable core: every src/**/*.cpp that is not a Windows adapter.
function(varnolet_core_sources out)
  file(GLOB_RECURSE all CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/*.cpp)
  list(FILTER all EXCLUDE REGEX "_win32\\.cpp$")
  set(${out} ${all} PARENT_SCOPE)
endfunction()

# Windows adapters: src/**/*_win32.cpp, without the program's entry point.
function(varnolet_win32_sources out)
  file(GLOB_RECURSE all CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/*_win32.cpp)
  list(FILTER all EXCLUDE REGEX "/entry_win32\\.cpp$")
  set(${out} ${all} PARENT_SCOPE)
endfunction()
