# The packages a Windows user downloads, made from this tree and checked:
#   dist.package   scripts/dist.sh into ${CMAKE_BINARY_DIR}/packages (fixture dist_package)
#   dist.imports   the stripped Varnolet7.exe and the language libraries import
#                  nothing but system DLLs (objdump, no Wine)
# and the e2e.install* scenarios, which install, upgrade, uninstall and unzip
# them under Wine, each in a fresh prefix of its own, need the packages.
set(VARNOLET_PACKAGES ${CMAKE_BINARY_DIR}/packages)
set(VARNOLET_STAGE ${CMAKE_BINARY_DIR}/dist/Varnolet7-${PROJECT_VERSION}-x64)

add_test(NAME dist.package COMMAND ${VARNOLET_DIST_COMMAND} ${VARNOLET_PACKAGES} ${PROJECT_VERSION})
set_tests_properties(dist.package PROPERTIES FIXTURES_SETUP dist_package LABELS e2e TIMEOUT 300)

add_test(NAME dist.imports COMMAND ${CMAKE_COMMAND} -E env OBJDUMP=${CMAKE_OBJDUMP}
  sh ${PROJECT_SOURCE_DIR}/scripts/check-imports.sh
  ${VARNOLET_STAGE}/Varnolet7.exe ${VARNOLET_STAGE}/Language/English.dll ${VARNOLET_STAGE}/Language/Greek.dll)
set_tests_properties(dist.imports PROPERTIES FIXTURES_REQUIRED dist_package LABELS "unit;e2e" TIMEOUT 60)

foreach(scenario ${VARNOLET_E2E_SCENARIOS})
  get_filename_component(name ${scenario} NAME_WE)
  if(name MATCHES "^install")
    set_tests_properties(e2e.${name} PROPERTIES FIXTURES_REQUIRED "e2e_prefix;dist_package"
      ENVIRONMENT "${VARNOLET_RIG_ENV};RIG=${VARNOLET_RIG};VARNOLET_PACKAGES=${VARNOLET_PACKAGES};VARNOLET_VERSION=${PROJECT_VERSION}")
  endif()
endforeach()
