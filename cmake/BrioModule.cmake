# brio_add_module(<target> EXPORT <name> ROOT <include root> DIR <header folder below root>
#                 [RECURSE] [OUTPUT <library file name>] [PUBLIC_DEPS ...] [PRIVATE_DEPS ...])
# One shared library per module: every .cpp in the current folder (and below with RECURSE), headers installed
# under <prefix>/include/<DIR>, exported as BrioScene::<name>.
function(brio_add_module target)
  cmake_parse_arguments(M "RECURSE" "EXPORT;ROOT;DIR;OUTPUT" "PUBLIC_DEPS;PRIVATE_DEPS" ${ARGN})
  if(M_RECURSE)
    set(_glob GLOB_RECURSE)
  else()
    set(_glob GLOB)
  endif()
  file(${_glob} _srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  file(${_glob} _hdrs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  add_library(${target} SHARED ${_srcs} ${_hdrs})
  add_library(BrioScene::${M_EXPORT} ALIAS ${target})
  set_target_properties(${target} PROPERTIES EXPORT_NAME ${M_EXPORT})
  if(M_OUTPUT)
    set_target_properties(${target} PROPERTIES OUTPUT_NAME ${M_OUTPUT})
  endif()
  target_include_directories(${target} PUBLIC
    $<BUILD_INTERFACE:${M_ROOT}>
    $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)
  target_link_libraries(${target} PUBLIC ${M_PUBLIC_DEPS} PRIVATE ${M_PRIVATE_DEPS})
  install(TARGETS ${target} EXPORT BrioSceneTargets
          LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
          RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/ DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/${M_DIR}
          FILES_MATCHING PATTERN "*.h" PATTERN "*Internal.h" EXCLUDE)
endfunction()

# brio_add_test(<target> [LABEL <label>] <dependency>...): one GoogleTest executable of every
# *Test.cpp in the current folder, each test case registered with CTest under the label (unit
# unless given; gl for tests that need a graphics context, so they can be run or skipped apart).
function(brio_add_test target)
  cmake_parse_arguments(T "" "LABEL" "" ${ARGN})
  if(NOT T_LABEL)
    set(T_LABEL unit)
  endif()
  file(GLOB_RECURSE _srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(NOT _srcs)
    return()
  endif()
  add_executable(${target} ${_srcs})
  target_link_libraries(${target} PRIVATE ${T_UNPARSED_ARGUMENTS} GTest::gtest GTest::gmock GTest::gtest_main)
  gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST PROPERTIES LABELS ${T_LABEL})
endfunction()
