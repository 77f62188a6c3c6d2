# Delay-loaded system DLLs. GNU ld has no /DELAYLOAD: dlltool makes a delay
# import library from a short .def (cmake/delayload/<dll>.def, the functions
# the program calls), whose thunks load the DLL through the MinGW runtime's
# __delayLoadHelper2 (libmingwex) at the first call. The DLLs the program
# needs only for a window the user may never open stay out of start-up.
#
#   varnolet_delay_load(NAME)   the INTERFACE library varnolet_delay_<NAME>
#                               links lib<NAME>_delay.a instead of -l<NAME>
function(varnolet_delay_load name)
  set(def ${PROJECT_SOURCE_DIR}/cmake/delayload/${name}.def)
  set(lib ${CMAKE_BINARY_DIR}/delayload/lib${name}_delay.a)
  add_custom_command(OUTPUT ${lib}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/delayload
    COMMAND ${CMAKE_DLLTOOL} --input-def ${def} --dllname ${name}.dll --output-delaylib ${lib}
    DEPENDS ${def}
    COMMENT "Delay import library of ${name}.dll"
    VERBATIM)
  add_custom_target(varnolet_delay_${name}_lib DEPENDS ${lib})
  add_library(varnolet_delay_${name} INTERFACE)
  add_dependencies(varnolet_delay_${name} varnolet_delay_${name}_lib)
  target_link_libraries(varnolet_delay_${name} INTERFACE ${lib})
endfunction()
