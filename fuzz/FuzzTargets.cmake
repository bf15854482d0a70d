# brio_fuzz_link(<executable> <Fuzz source name>): links a target's entry with only the modules
# its reader lives in, so that the light targets build (and run) before the scene library does.
function(brio_fuzz_link exe name)
  if(name MATCHES "^Fuzz(Image|Exr)$")
    target_link_libraries(${exe} PRIVATE LumoDevices BrioBase)
  elseif(name STREQUAL "FuzzFragmentLibrary")
    target_link_libraries(${exe} PRIVATE LumoGraphics BrioBase)
  elseif(name STREQUAL "FuzzStringTable")
    target_link_libraries(${exe} PRIVATE BrioBase)
  else()
    target_link_libraries(${exe} PRIVATE Host Scene)
  endif()
endfunction()
