# The seed generator make-seeds.sh runs (included by the fuzz build and by the test suite).
if(NOT TARGET brio-fuzz-seeds)
  add_executable(brio-fuzz-seeds ${CMAKE_CURRENT_LIST_DIR}/SeedGen.cpp)
  target_link_libraries(brio-fuzz-seeds PRIVATE LumoDevices BrioDataModel)
endif()
