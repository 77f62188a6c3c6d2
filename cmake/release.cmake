# The Windows tree is the release build: optimised for size, every function
# and datum in a section of its own so that the linker drops what nothing
# uses. The toolchain's static flags stay (CMAKE_EXE_LINKER_FLAGS is left
# alone), so the program needs nothing beyond the system's DLLs. Symbols are
# stripped when packaging (`dist`), not here: the tree's Varnolet7.exe keeps
# them for debugging, and the tests run against the same code.
#
# The options come after the build type's own (-O3 of Release): the last -O wins.
add_compile_options(-Os -ffunction-sections -fdata-sections)
add_link_options(-Wl,--gc-sections)
