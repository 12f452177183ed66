# Fails when a file of the std-only core includes a Qt header.
file(GLOB_RECURSE core_files ${ROOT}/fields/* ${ROOT}/config/* ${ROOT}/ui/form/*)
foreach(f IN LISTS core_files)
  file(STRINGS ${f} hits REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]Q[A-Za-z]")
  if(hits)
    message(FATAL_ERROR "${f} includes Qt: ${hits}")
  endif()
endforeach()
message(STATUS "core files checked: no Qt includes")
