# `dist`: what a Windows user downloads, in ${VARNOLET_DIST_DIR}:
#   Varnolet7-<version>-x64.zip and Varnolet7-<version>-x64-setup.exe
# made by scripts/dist.sh from this tree's Varnolet7.exe (stripped on the way)
# and language libraries, with Debian's makensis. The version is the project's.
set(VARNOLET_DIST_DIR ${PROJECT_SOURCE_DIR}/dist CACHE PATH "Folder of the packages made by the dist target")
find_program(VARNOLET_MAKENSIS makensis)

# The command that packages this tree into a folder (the tests package into one
# of the tree's own).
set(VARNOLET_DIST_COMMAND ${CMAKE_COMMAND} -E env STRIP=${CMAKE_STRIP} OBJDUMP=${CMAKE_OBJDUMP}
  MAKENSIS=${VARNOLET_MAKENSIS} sh ${PROJECT_SOURCE_DIR}/scripts/dist.sh ${CMAKE_BINARY_DIR})

add_custom_target(dist
  COMMAND ${VARNOLET_DIST_COMMAND} ${VARNOLET_DIST_DIR} ${PROJECT_VERSION}
  COMMENT "Packaging Varnolet 7 ${PROJECT_VERSION} into ${VARNOLET_DIST_DIR}"
  USES_TERMINAL VERBATIM)
add_dependencies(dist Varnolet7 varnolet_language_english varnolet_language_greek)
